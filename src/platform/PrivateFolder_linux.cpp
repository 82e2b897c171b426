// Linux backend of the private folder: lstat checks, mode 0700 folders, 0600 files.
#include "platform/PrivateFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace platform {

namespace {

std::string AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  std::string path(value);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

FolderProblem ProblemOfError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FolderProblem::MissingParent;
    case EACCES:
    case EPERM:
    case EROFS:
      return FolderProblem::NotWritable;
    default:
      return FolderProblem::Other;
  }
}

}  // namespace

std::string UserPrivateFolderPath() {
  const std::string runtime = AbsoluteEnv("XDG_RUNTIME_DIR");
  if (!runtime.empty()) return runtime + "/qvbook";
  std::string temp = AbsoluteEnv("TMPDIR");
  if (temp.empty()) temp = "/tmp";
  return temp + "/qvbook-" + std::to_string(geteuid());
}

FolderCheck EnsurePrivateFolder(const std::string& path) {
  if (path.empty()) return {FolderProblem::Other, ENOENT};
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {ProblemOfError(errno), errno};
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return {ProblemOfError(errno), errno};
  if (S_ISLNK(info.st_mode)) return {FolderProblem::SymbolicLink, 0};
  if (!S_ISDIR(info.st_mode)) return {FolderProblem::NotAFolder, 0};
  if (info.st_uid != geteuid()) return {FolderProblem::OtherOwner, 0};
  if ((info.st_mode & 077) != 0 && chmod(path.c_str(), 0700) != 0)
    return {FolderProblem::CannotMakePrivate, errno};
  if (faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
    return {ProblemOfError(errno), errno};
  return {};
}

std::string MakeUniqueFolder(const std::string& parent, const std::string& prefix) {
  std::string pattern = parent + "/" + prefix + "XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) return {};
  return std::string(buffer.data());
}

std::vector<std::string> QuietSubfolders(const std::string& parent, const std::string& prefix,
                                         int minAgeSeconds) {
  std::vector<std::string> found;
  DIR* dir = opendir(parent.c_str());
  if (dir == nullptr) return found;
  const time_t now = time(nullptr);
  while (const dirent* item = readdir(dir)) {
    const std::string name = item->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    struct stat info {};
    if (fstatat(dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(info.st_mode) && now - info.st_mtime >= minAgeSeconds)
      found.push_back(parent + "/" + name);
  }
  closedir(dir);
  return found;
}

void RemoveFolder(const std::string& path) {
  if (path.empty()) return;
  if (DIR* dir = opendir(path.c_str())) {
    while (const dirent* item = readdir(dir)) {
      const std::string name = item->d_name;
      if (name == "." || name == "..") continue;
      unlinkat(dirfd(dir), name.c_str(), 0);
    }
    closedir(dir);
  }
  rmdir(path.c_str());
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

bool RemoveFile(const std::string& path) {
  return unlink(path.c_str()) == 0;
}

bool CreatePrivateFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  close(fd);
  return true;
}

std::string SqliteFileName(const std::string& path) {
  return path;  // both take the file system's bytes as they are
}

}  // namespace platform
