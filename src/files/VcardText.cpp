// Quoted-printable, character sets, escapes and kana readings of vCard values.
#include "files/VcardText.h"

#include <algorithm>
#include <cctype>

#include "platform/CodePage.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool NamesOneOf(std::string_view charset, std::initializer_list<std::string_view> names) {
  return std::any_of(names.begin(), names.end(),
                     [charset](std::string_view name) { return EqualsIgnoringCase(charset, name); });
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::u16string wide(bytes.begin(), bytes.end());
  for (char16_t& c : wide) c = static_cast<unsigned char>(c);
  return Utf16ToUtf8(wide);
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
  });
}

std::string DecodeQuotedPrintable(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '=' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}

std::string HexOf(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (char c : bytes) {
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 0x0F];
  }
  return hex;
}

std::string BytesOfHex(std::string_view hex) {
  std::string bytes;
  if (hex.size() % 2 != 0) return bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexValue(hex[i]);
    const int low = HexValue(hex[i + 1]);
    if (high < 0 || low < 0) return {};
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

std::string DecodeCharset(std::string_view bytes, std::string_view charset, bool& lossless, bool& readAsCp932) {
  lossless = true;
  readAsCp932 = false;
  if (NamesOneOf(charset, {"ISO-8859-1", "LATIN1", "US-ASCII", "ASCII"})) return Latin1ToUtf8(bytes);
  const bool namesCp932 = NamesOneOf(charset, {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "X-SJIS", "CP932", "MS932",
                                               "WINDOWS-31J", "MS_KANJI", "CSSHIFTJIS", "CSWINDOWS31J"});
  if (!namesCp932 && IsValidUtf8(bytes)) return std::string(bytes);
  readAsCp932 = true;
  return Cp932ToUtf8(bytes, &lossless);
}

std::vector<std::string> SplitComponents(std::string_view value) {
  std::vector<std::string> components(1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char escaped = value[++i];
      components.back() += (escaped == 'n' || escaped == 'N') ? '\n' : escaped;
    } else if (value[i] == ';') {
      components.emplace_back();
    } else {
      components.back() += value[i];
    }
  }
  return components;
}

std::string UnescapeText(std::string_view value) {
  std::string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char escaped = value[++i];
      text += (escaped == 'n' || escaped == 'N') ? '\n' : escaped;
    } else {
      text += value[i];
    }
  }
  return text;
}

std::string EscapeText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    if (c == '\\' || c == ';' || c == ',') {
      escaped += '\\';
      escaped += c;
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c != '\r') {
      escaped += c;
    }
  }
  return escaped;
}
