// Windows backend of the kana reading: LCMapStringW with LCMAP_HALFWIDTH | LCMAP_KATAKANA
// under the Japanese locale, so that the result does not depend on the user's locale.
#include "platform/HalfWidthKana.h"

#include "platform/WindowsApi.h"

namespace platform {

std::u16string ToHalfWidthKatakana(std::u16string_view text) {
  if (text.empty()) return {};
  const LCID japanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT);
  const DWORD flags = LCMAP_HALFWIDTH | LCMAP_KATAKANA;
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

}  // namespace platform
