// Code page 932 conversion through the system's own table (MultiByteToWideChar and
// WideCharToMultiByte with code page 932, whatever the user's ANSI code page is). UTF-8 is
// decoded here rather than by the system, so that a malformed sequence becomes exactly one
// replacement on every Windows version, as it does on Linux.
#include "platform/CodePage.h"

#include "platform/WindowsApi.h"

namespace {

constexpr UINT kCodePage932 = 932;
constexpr wchar_t kReplacement = 0xFFFD;

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByteEx(kCodePage932, byte) != 0; }

// UTF-16 of one code page 932 character (one or two bytes); empty when it does not decode.
std::wstring DecodeCharacter(const char* bytes, int length) {
  wchar_t wide[2];
  const int n = MultiByteToWideChar(kCodePage932, MB_ERR_INVALID_CHARS, bytes, length, wide, 2);
  return n > 0 ? std::wstring(wide, static_cast<std::size_t>(n)) : std::wstring();
}

std::string WideToUtf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int wideLength = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

// The code point of the UTF-8 sequence at `s` and its length in bytes (at least 1);
// a malformed or cut-off sequence gives U+FFFD with the bytes its lead byte announces
// that are present.
char32_t DecodeUtf8(const unsigned char* s, std::size_t left, std::size_t& length) {
  std::size_t expected = 1;
  char32_t value = s[0];
  if (s[0] >= 0xF0 && s[0] <= 0xF4) expected = 4, value = s[0] & 0x07;
  else if (s[0] >= 0xE0 && s[0] <= 0xEF) expected = 3, value = s[0] & 0x0F;
  else if (s[0] >= 0xC2 && s[0] <= 0xDF) expected = 2, value = s[0] & 0x1F;
  else if (s[0] >= 0x80) {
    length = 1;
    return kReplacement;
  }
  length = 1;
  while (length < expected && length < left && (s[length] & 0xC0) == 0x80) {
    value = (value << 6) | (s[length] & 0x3F);
    ++length;
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (length < expected || value < kSmallest[expected] || value > 0x10FFFF ||
      (value >= 0xD800 && value <= 0xDFFF)) {
    return kReplacement;
  }
  return value;
}

// The look-alikes that input methods type for characters of the code page.
wchar_t LookAlikeOf(char32_t c) {
  switch (c) {
    case 0x301C: return 0xFF5E;  // WAVE DASH -> FULLWIDTH TILDE (81 60)
    case 0x2212: return 0xFF0D;  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS (81 7C)
    case 0x00A5: return L'\\';   // YEN SIGN -> 5C
    default: return static_cast<wchar_t>(c);
  }
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes, bool* lossless) {
  std::wstring wide;
  wide.reserve(bytes.size());
  bool clean = true;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {  // the ASCII half is the same in both
      wide += static_cast<wchar_t>(bytes[i++]);
      continue;
    }
    const std::size_t length =
        IsLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
    std::wstring decoded = DecodeCharacter(bytes.data() + i, static_cast<int>(length));
    if (decoded.empty()) {
      // A byte that does not start a character is dropped alone, so that a following
      // valid character is not lost with it.
      wide += kReplacement;
      clean = false;
      ++i;
      continue;
    }
    wide += decoded;
    i += length;
  }
  if (lossless) *lossless = clean;
  return WideToUtf8(wide);
}

std::string Utf8ToCp932(std::string_view text, bool* lossless) {
  std::string out;
  out.reserve(text.size());
  bool clean = true;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    const char32_t c = DecodeUtf8(s + i, text.size() - i, length);
    i += length;
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    // The code page holds no character beyond the basic plane.
    const wchar_t wide = c > 0xFFFF ? kReplacement : LookAlikeOf(c);
    char bytes[4];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes,
                                      sizeof bytes, "?", &usedDefault);
    if (n <= 0 || usedDefault || c == kReplacement) {
      out += '?';
      clean = false;
    } else {
      out.append(bytes, static_cast<std::size_t>(n));
    }
  }
  if (lossless) *lossless = clean;
  return out;
}
