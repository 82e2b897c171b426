// Windows backend of the user's data folder: the roaming application data folder, which
// the system keeps to its user. Paths are in the ANSI code page, as the other "A" calls
// of this folder take them.
#include "platform/UserDataFolder.h"

#include <cerrno>

#include "platform/WindowsApi.h"

#include <shlobj.h>

namespace platform {

std::string UserDataFolderPath(const std::string& name) {
  char buffer[MAX_PATH] = {};
  if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer) == S_OK && buffer[0] != '\0')
    return PathInFolder(buffer, name);
  const DWORD length = GetEnvironmentVariableA("APPDATA", buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  return PathInFolder(std::string(buffer, length), name);
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + "\\" + name;
}

int MakeFolderPath(const std::string& path) {
  if (path.empty()) return ENOENT;
  // Each folder from the top down, past the drive ("C:\") or the share ("\\server\share\").
  std::size_t start = path.rfind(':', 2) != std::string::npos ? 3 : 0;
  if (path.rfind("\\\\", 0) == 0) start = path.find_first_of("\\/", path.find_first_of("\\/", 2) + 1);
  for (std::size_t end = path.find_first_of("\\/", start);; end = path.find_first_of("\\/", end + 1)) {
    const std::string folder = path.substr(0, end);
    if (!folder.empty() && !CreateDirectoryA(folder.c_str(), nullptr)) {
      const DWORD error = GetLastError();
      // A folder above ours may refuse creation outright rather than say it exists.
      const DWORD attributes = GetFileAttributesA(folder.c_str());
      const bool exists = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
      if (!exists) return error == ERROR_ACCESS_DENIED ? EACCES : error == ERROR_ALREADY_EXISTS ? ENOTDIR : ENOENT;
    }
    if (end == std::string::npos) break;
  }
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return ENOENT;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ENOTDIR;
}

std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA item {};
  const HANDLE search = FindFirstFileA(PathInFolder(folder, "*").c_str(), &item);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(item.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
      names.emplace_back(item.cFileName);
  } while (FindNextFileA(search, &item));
  FindClose(search);
  return names;
}

}  // namespace platform
