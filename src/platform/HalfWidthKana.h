// Kana readings between the widths, by the system's own tables (ICU on Linux, LCMapString
// on Windows): typed or imported kana become the handset's half-width katakana, and the
// handset's half-width katakana become full-width for address books that expect them.
// Text is UTF-16, as the input method and the widgets deliver it.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// `text` with hiragana turned into katakana and full-width forms into half-width ones
// (a voiced kana becomes the kana and a separate voiced-sound mark). Empty when the
// system cannot convert.
std::u16string ToHalfWidthKatakana(std::u16string_view text);

// The half-width katakana block (U+FF61..U+FF9F) of the handset's readings.
inline bool IsHalfWidthKatakana(char16_t c) { return c >= 0xFF61 && c <= 0xFF9F; }

// `text` with its half-width katakana and punctuation turned into full-width katakana
// (a kana followed by a voiced-sound mark becomes the voiced kana); every other
// character, half-width letters and spaces included, stays as it is. Empty when the
// system cannot convert.
std::u16string ToFullWidthKatakana(std::u16string_view text);

}  // namespace platform
