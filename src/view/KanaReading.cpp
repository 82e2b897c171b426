// Kana readings through ICU's "Hiragana-Katakana; Fullwidth-Halfwidth" transliteration.
#include "view/KanaReading.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace {

bool IsKanaChar(char16_t c) {
  return (c >= 0x3041 && c <= 0x3096) ||  // hiragana
         (c >= 0x3099 && c <= 0x309E) ||  // voiced-sound marks, iteration marks
         (c >= 0x30A1 && c <= 0x30FE) ||  // katakana, middle dot, prolonged-sound mark
         (c >= 0xFF66 && c <= 0xFF9F);    // half-width katakana
}

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

bool IsKanaText(const QString& text) {
  if (text.isEmpty()) return false;
  for (QChar c : text)
    if (!IsKanaChar(c.unicode())) return false;
  return true;
}

QString ToHalfWidthKatakana(const QString& text) {
  const icu::Transliterator* transliterator = HalfWidthTransliterator();
  if (!transliterator) return QString();
  icu::UnicodeString buffer(reinterpret_cast<const char16_t*>(text.utf16()),
                            static_cast<int32_t>(text.size()));
  transliterator->transliterate(buffer);
  return QString(reinterpret_cast<const QChar*>(buffer.getBuffer()), buffer.length());
}
