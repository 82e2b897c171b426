// Linux backend of the kana readings: ICU's "Hiragana-Katakana; Fullwidth-Halfwidth"
// transliteration, and "Halfwidth-Fullwidth" held to the half-width katakana block.
#include "platform/HalfWidthKana.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace platform {

namespace {

std::unique_ptr<icu::Transliterator> CreateTransliterator(const char16_t* id) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Transliterator> created(
      icu::Transliterator::createInstance(icu::UnicodeString(id), UTRANS_FORWARD, status));
  if (U_FAILURE(status)) created.reset();
  return created;
}

std::u16string Transliterate(const icu::Transliterator* transliterator, std::u16string_view text) {
  if (!transliterator) return {};
  icu::UnicodeString buffer(text.data(), static_cast<int32_t>(text.size()));
  transliterator->transliterate(buffer);
  return std::u16string(buffer.getBuffer(), static_cast<std::size_t>(buffer.length()));
}

}  // namespace

// Each transliterator is created once: building one parses its rules, which takes
// milliseconds.
std::u16string ToHalfWidthKatakana(std::u16string_view text) {
  static const auto transliterator = CreateTransliterator(u"Hiragana-Katakana; Fullwidth-Halfwidth");
  return Transliterate(transliterator.get(), text);
}

std::u16string ToFullWidthKatakana(std::u16string_view text) {
  // The filter keeps half-width letters, digits and spaces as they are.
  static const auto transliterator = CreateTransliterator(u"[\\uFF61-\\uFF9F] Halfwidth-Fullwidth");
  return Transliterate(transliterator.get(), text);
}

}  // namespace platform
