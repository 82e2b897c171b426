// The handset's reading as text: UTF-8 and UTF-16 conversions, and kana between the widths
// that address books, input methods and dictionaries use and the reading's half-width
// katakana.
#pragma once

#include <string>
#include <string_view>

bool IsValidUtf8(std::string_view text);
std::u16string Utf8ToUtf16(std::string_view text);  // malformed sequences become U+FFFD
std::string Utf16ToUtf8(std::u16string_view text);

// The handset's reading (code page 932 bytes of the reading set) of kana text in UTF-8:
// hiragana and full-width katakana become half-width katakana; characters a reading
// cannot hold are dropped and `lossless` set false.
std::string ReadingFromKana(std::string_view utf8, bool& lossless);

// UTF-8 full-width katakana of a stored reading; letters, digits and spaces unchanged.
std::string FullWidthKanaFromReading(std::string_view reading);
