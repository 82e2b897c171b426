// Atomic file replacement on POSIX: a unique temporary file in the target's folder, written
// and synced, renamed over the target, then the folder synced so the rename is durable.
#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

std::string FolderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a save must replace: the target of a symbolic link rather than the link, so
// that saving through a link keeps the link.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return path;  // a dangling link: replaced like a missing file
  std::string target = resolved;
  std::free(resolved);
  return target;
}

// Creates a new file beside `path` whose name no other file has; -1 with errno on failure.
int CreateTemporaryBeside(const std::string& path, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".tmp%ld.%u.%llx", static_cast<long>(::getpid()),
                  counter++, static_cast<unsigned long long>(ticks) & 0xFFFFFFULL);
    tempPath = FolderOf(path) + "/." + BaseNameOf(path) + suffix;
    // Mode 0666: the kernel applies the umask, as for any newly created file.
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// A file that replaces an existing one keeps its permissions: a phonebook the user made
// private must not become readable by others through a save.
int KeepModeOf(const std::string& path, int fd) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return ::fchmod(fd, st.st_mode & 07777) == 0 ? 0 : errno;
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// Makes the rename itself survive a crash. Some file systems cannot sync a folder; the
// file is in place by then, so this stays best effort.
void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

int SaveFileAtomically(const std::string& requestedPath, std::string_view bytes) {
  if (requestedPath.empty() || requestedPath.back() == '/') return EISDIR;
  const std::string path = ResolveTarget(requestedPath);
  // Renaming would replace a file the user made read-only; refuse as writing into it would.
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) return errno;
  std::string tempPath;
  int fd = CreateTemporaryBeside(path, tempPath);
  if (fd < 0) return errno;
  int error = KeepModeOf(path, fd);
  if (error == 0) error = WriteAll(fd, bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(tempPath.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(tempPath.c_str());
    return error;
  }
  SyncFolder(FolderOf(path));
  return 0;
}
