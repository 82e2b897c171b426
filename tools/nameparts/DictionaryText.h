// Text helpers of the build-time tools that learn from Debian's dictionaries: their files
// are in EUC-JP or UTF-8, and the tools work on code points (one kanji, one kana each).
#pragma once

#include <iconv.h>

#include <string>

namespace dictionary_text {

// EUC-JP bytes as UTF-8; empty when the bytes are not EUC-JP.
inline std::string EucJpToUtf8(const std::string& bytes) {
  iconv_t converter = iconv_open("UTF-8", "EUC-JP");
  if (converter == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(bytes.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size(), outLeft = out.size();
  char* to = out.data();
  const bool ok = iconv(converter, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(converter);
  return ok ? out.substr(0, out.size() - outLeft) : std::string();
}

inline std::u32string Decode(const std::string& utf8) {
  std::u32string text;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int k = 1; k < length && i + k < utf8.size(); ++k)
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    text += code;
    i += length;
  }
  return text;
}

inline std::string Encode(const std::u32string& text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

inline bool IsKanji(char32_t c) { return (c >= 0x4E00 && c <= 0x9FFF) || c == 0x3005; }
inline bool IsHiragana(char32_t c) { return c >= 0x3041 && c <= 0x3096; }
inline bool IsKatakana(char32_t c) { return (c >= 0x30A1 && c <= 0x30FA) || c == 0x30FC; }

// Hiragana made katakana; other characters stay.
inline std::u32string ToKatakana(std::u32string text) {
  for (char32_t& c : text)
    if (IsHiragana(c)) c += 0x60;
  return text;
}

}  // namespace dictionary_text
