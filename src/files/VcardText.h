// The text layer of vCard files: quoted-printable, the character sets cards declare,
// backslash escapes and ';'-separated components, and the readings between the
// handset's half-width katakana and the kana address books hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "phonebook/ReadingText.h"

// The bytes of a quoted-printable value. "=XX" gives byte XX; a '=' without two hex
// digits after it stays as it is. Soft line breaks are joined before this is called.
std::string DecodeQuotedPrintable(std::string_view text);

// Upper-case hex digits of `bytes` ("ED40"); and the bytes of such digits in either case,
// empty when `hex` is not an even number of hex digits.
std::string HexOf(std::string_view bytes);
std::string BytesOfHex(std::string_view hex);

// UTF-8 of a property value in the character set `charset` names. Shift-JIS and its
// Windows variants are read as code page 932, ISO-8859-1 and US-ASCII byte by byte; for
// UTF-8, an empty name or one unknown here, valid UTF-8 is taken as it is and anything
// else as code page 932, as Japanese feature phones write.
// `lossless` is set false when a byte did not decode; `readAsCp932` says whether the bytes
// were read as code page 932.
std::string DecodeCharset(std::string_view bytes, std::string_view charset, bool& lossless, bool& readAsCp932);

// ASCII letters compared without case, as vCard compares names and parameter values.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);


// Splits a structured value (N, SOUND) at its unescaped ';' and resolves the escapes
// "\\" "\;" "\," "\n" "\N" in each component.
std::vector<std::string> SplitComponents(std::string_view value);
std::string UnescapeText(std::string_view value);

// `text` with '\', ';' and ',' escaped by a backslash and line breaks written "\n".
std::string EscapeText(std::string_view text);
