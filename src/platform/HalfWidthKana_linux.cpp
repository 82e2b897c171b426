// Linux backend of the kana reading: ICU's "Hiragana-Katakana; Fullwidth-Halfwidth"
// transliteration.
#include "platform/HalfWidthKana.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace platform {

namespace {

// Created once: building a transliterator parses its rules, which takes milliseconds.
const icu::Transliterator* HalfWidthTransliterator() {
  static const std::unique_ptr<icu::Transliterator> transliterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> created(icu::Transliterator::createInstance(
        icu::UnicodeString(u"Hiragana-Katakana; Fullwidth-Halfwidth"), UTRANS_FORWARD, status));
    if (U_FAILURE(status)) created.reset();
    return created;
  }();
  return transliterator.get();
}

}  // namespace

std::u16string ToHalfWidthKatakana(std::u16string_view text) {
  const icu::Transliterator* transliterator = HalfWidthTransliterator();
  if (!transliterator) return {};
  icu::UnicodeString buffer(text.data(), static_cast<int32_t>(text.size()));
  transliterator->transliterate(buffer);
  return std::u16string(buffer.getBuffer(), static_cast<std::size_t>(buffer.length()));
}

}  // namespace platform
