// Kana readings: the character test here, the half-width conversion by the system's own
// tables (src/platform).
#include "view/KanaReading.h"

#include <string_view>

#include "platform/HalfWidthKana.h"

namespace {

bool IsKanaChar(char16_t c) {
  return (c >= 0x3041 && c <= 0x3096) ||  // hiragana
         (c >= 0x3099 && c <= 0x309E) ||  // voiced-sound marks, iteration marks
         (c >= 0x30A1 && c <= 0x30FE) ||  // katakana, middle dot, prolonged-sound mark
         (c >= 0xFF66 && c <= 0xFF9F);    // half-width katakana
}

}  // namespace

bool IsKanaText(const QString& text) {
  if (text.isEmpty()) return false;
  for (QChar c : text)
    if (!IsKanaChar(c.unicode())) return false;
  return true;
}

QString ToHalfWidthKatakana(const QString& text) {
  const std::u16string reading = platform::ToHalfWidthKatakana(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size())));
  return QString::fromStdU16String(reading);
}
