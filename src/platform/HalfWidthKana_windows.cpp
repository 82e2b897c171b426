// Windows backend of the kana readings: LCMapStringW with LCMAP_HALFWIDTH | LCMAP_KATAKANA,
// or LCMAP_FULLWIDTH | LCMAP_KATAKANA on the runs of half-width katakana alone, under the
// Japanese locale, so that the result does not depend on the user's locale.
#include "platform/HalfWidthKana.h"

#include "platform/WindowsApi.h"

namespace platform {

namespace {

std::u16string MapString(std::u16string_view text, DWORD flags) {
  if (text.empty()) return {};
  const LCID japanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT);
  const auto* source = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int needed = LCMapStringW(japanese, flags, source, length, nullptr, 0);
  if (needed <= 0) return {};
  std::u16string result(static_cast<std::size_t>(needed), u'\0');
  const int written = LCMapStringW(japanese, flags, source, length, reinterpret_cast<wchar_t*>(result.data()), needed);
  if (written <= 0) return {};
  result.resize(static_cast<std::size_t>(written));
  return result;
}

}  // namespace

std::u16string ToHalfWidthKatakana(std::u16string_view text) {
  return MapString(text, LCMAP_HALFWIDTH | LCMAP_KATAKANA);
}

std::u16string ToFullWidthKatakana(std::u16string_view text) {
  // LCMAP_FULLWIDTH would widen letters, digits and spaces too: map the kana runs only.
  std::u16string result;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = at;
    const bool kana = IsHalfWidthKatakana(text[at]);
    while (end < text.size() && IsHalfWidthKatakana(text[end]) == kana) ++end;
    const std::u16string_view run = text.substr(at, end - at);
    if (!kana) {
      result += run;
    } else {
      const std::u16string mapped = MapString(run, LCMAP_FULLWIDTH | LCMAP_KATAKANA);
      if (mapped.empty()) return {};
      result += mapped;
    }
    at = end;
  }
  return result;
}

}  // namespace platform
