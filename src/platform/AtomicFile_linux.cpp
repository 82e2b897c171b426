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

namespace {

std::string FolderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Creates a new file beside `path` whose name no other file has; -1 with errno on failure.
int CreateTemporaryBeside(const std::string& path, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  std::string folder = FolderOf(path);
  std::string base = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".tmp%ld.%u.%llx", static_cast<long>(::getpid()),
                  counter++, static_cast<unsigned long long>(ticks) & 0xFFFFFFULL);
    tempPath = folder + "/." + base + suffix;
    // Mode 0666: the kernel applies the umask, as for any newly created file.
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
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

int SaveFileAtomically(const std::string& path, std::string_view bytes) {
  if (path.empty() || path.back() == '/') return EISDIR;
  std::string tempPath;
  int fd = CreateTemporaryBeside(path, tempPath);
  if (fd < 0) return errno;
  int error = WriteAll(fd, bytes);
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
