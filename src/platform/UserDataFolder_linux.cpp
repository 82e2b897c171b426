// Linux backend of the user's data folder: the XDG base directory rules, as Qt reads them.
#include "platform/UserDataFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

std::string UserDataFolderPath(const std::string& name) {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return std::string(data) + "/" + name;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.local/share/" + name;
}

std::string PathInFolder(const std::string& folder, const std::string& name) { return folder + "/" + name; }

int MakeFolderPath(const std::string& path) {
  if (path.empty()) return ENOENT;
  // Each folder from the top down; the ones that exist already are passed over.
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string folder = path.substr(0, end);
    if (!folder.empty() && mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    if (end == std::string::npos) break;
  }
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return errno;
  return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* item = readdir(dir)) {
    struct stat info {};
    if (fstatat(dirfd(dir), item->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
      names.emplace_back(item->d_name);
  }
  closedir(dir);
  return names;
}

}  // namespace platform
