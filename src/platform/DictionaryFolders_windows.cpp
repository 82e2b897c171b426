// Windows backend of the dictionary folders: the "dic" folder beside qvbook.exe, as the
// zip unpacks it. The program's path is taken as UTF-16 and handed on as UTF-8, so a
// folder with Japanese characters in its name works too.
#include "platform/DictionaryFolders.h"

#include "platform/WindowsApi.h"

namespace platform {

std::vector<std::string> DictionaryFolders() {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::wstring program(buffer, length);
  program.resize(program.find_last_of(L"\\/") + 1);
  program += L"dic";
  const int size = WideCharToMultiByte(CP_UTF8, 0, program.data(), static_cast<int>(program.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string folder(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, program.data(), static_cast<int>(program.size()), folder.data(),
                      size, nullptr, nullptr);
  return {folder};
}

}  // namespace platform
