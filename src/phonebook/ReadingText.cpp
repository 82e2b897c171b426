// The handset's reading as text: UTF-8 and UTF-16 of what input methods, address books and
// the dictionary deliver, and the conversions between their kana and the half-width
// katakana (code page 932 bytes of the reading set) that a reading holds.
#include "phonebook/ReadingText.h"

#include <array>

#include "platform/CodePage.h"
#include "platform/HalfWidthKana.h"

namespace {

// Length of the UTF-8 sequence its lead byte announces; 0 for a byte that cannot lead.
std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The code point of the valid sequence at `at` and its length; U+FFFD and length 1 for a
// malformed one (a real U+FFFD is 3 bytes long).
char32_t DecodeUtf8At(std::string_view text, std::size_t at, std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  length = Utf8Length(byte(0));
  if (length == 0 || at + length > text.size()) {
    length = 1;
    return 0xFFFD;
  }
  if (length == 1) return byte(0);
  char32_t code = byte(0) & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) {
      length = 1;
      return 0xFFFD;
    }
    code = (code << 6) | (byte(i) & 0x3F);
  }
  static constexpr std::array<char32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
    length = 1;
    return 0xFFFD;
  }
  return code;
}

// A reading holds printable ASCII but the grave accent, and the half-width katakana
// U+FF61..U+FF9F, which are the bytes 0xA1..0xDF of code page 932.
bool AppendReadingChar(std::string& reading, char16_t c) {
  if (c >= 0x20 && c <= 0x7E && c != 0x60) {
    reading += static_cast<char>(c);
  } else if (platform::IsHalfWidthKatakana(c)) {
    reading += static_cast<char>(0xA1 + (c - 0xFF61));
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0, length = 0; at < text.size(); at += length) {
    if (DecodeUtf8At(text, at, length) == 0xFFFD && length == 1) return false;
  }
  return true;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (std::size_t at = 0, length = 0; at < text.size(); at += length) {
    const char32_t code = DecodeUtf8At(text, at, length);
    if (code >= 0x10000) {
      wide += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      wide += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      wide += static_cast<char16_t>(code);
    }
  }
  return wide;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;  // a lone surrogate
    }
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

std::string ReadingFromKana(std::string_view utf8, bool& lossless) {
  lossless = true;
  if (utf8.empty()) return {};
  const std::u16string halfWidth = platform::ToHalfWidthKatakana(Utf8ToUtf16(utf8));
  std::string reading;
  for (char16_t c : halfWidth) {
    if (!AppendReadingChar(reading, c)) lossless = false;
  }
  if (halfWidth.empty()) lossless = false;  // the system could not convert
  return reading;
}

std::string FullWidthKanaFromReading(std::string_view reading) {
  const std::u16string halfWidth = Utf8ToUtf16(Cp932ToUtf8(reading));
  const std::u16string fullWidth = platform::ToFullWidthKatakana(halfWidth);
  // Should the system fail to convert, the half-width kana still carry the reading.
  return Utf16ToUtf8(fullWidth.empty() ? halfWidth : fullWidth);
}
