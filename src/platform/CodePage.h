// Conversion between code page 932 (the bytes every text of the core holds) and UTF-8, used
// only where text meets the screen, the clipboard or a terminal. Safe to call from any thread.
#pragma once

#include <string>
#include <string_view>

// UTF-8 of code page 932 bytes. A byte that does not decode becomes U+FFFD; `lossless`, when
// given, is set false when that happened and true otherwise.
std::string Cp932ToUtf8(std::string_view bytes, bool* lossless = nullptr);

// Code page 932 bytes of UTF-8 text. The look-alikes that input methods type are taken
// (U+301C -> 81 60, U+2212 -> 81 7C, U+00A5 -> 5C). A character the code page lacks, or a
// malformed UTF-8 sequence, becomes '?'; `lossless` reports whether that happened.
std::string Utf8ToCp932(std::string_view text, bool* lossless = nullptr);
