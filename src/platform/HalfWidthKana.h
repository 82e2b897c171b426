// Readings of kana typed through an input method: hiragana and full-width katakana turned
// into half-width katakana, by the system's own tables (ICU on Linux, LCMapString on
// Windows). Text is UTF-16, as the input method and the widgets deliver it.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// `text` with hiragana turned into katakana and full-width forms into half-width ones
// (a voiced kana becomes the kana and a separate voiced-sound mark). Empty when the
// system cannot convert.
std::u16string ToHalfWidthKatakana(std::u16string_view text);

}  // namespace platform
