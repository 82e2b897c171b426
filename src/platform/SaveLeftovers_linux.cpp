// Linux backend of the leftovers of saves. A process is known gone when no process has its
// id, or the one that has it now started after the file was last written (the id was used
// again). A running save keeps a lock on its file (AtomicFile_linux.cpp) that the kernel
// drops when the process ends however it ends, and that this sweep, taking it before it
// removes a file, respects across process namespaces and on network file systems with
// locks; where a file system has no locks, a file must also have stood untouched
// kStaleTemporarySeconds.
#include "platform/SaveLeftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

#include "platform/AtomicFileShared.h"

namespace {

// When the process `processId` started, in seconds since the epoch; nothing when unknown.
std::optional<double> StartOfProcess(std::uint32_t processId) {
  char statPath[32];
  std::snprintf(statPath, sizeof statPath, "/proc/%lu/stat", static_cast<unsigned long>(processId));
  std::FILE* file = std::fopen(statPath, "re");
  if (!file) return std::nullopt;
  char line[1024];  // far more than the fields up to the start (the command name has 16 bytes at most)
  const bool read = std::fgets(line, sizeof line, file) != nullptr;
  std::fclose(file);
  // After the command name in parentheses: field 3 onwards; the start is field 22, in clock
  // ticks since boot.
  const char* rest = read ? std::strrchr(line, ')') : nullptr;
  unsigned long long ticks = 0;
  if (!rest || std::sscanf(rest + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                           &ticks) != 1)
    return std::nullopt;
  timespec now {}, sinceBoot {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  ::clock_gettime(CLOCK_BOOTTIME, &sinceBoot);
  const double boot = (now.tv_sec - sinceBoot.tv_sec) + (now.tv_nsec - sinceBoot.tv_nsec) / 1e9;
  return boot + static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// Whether the process that wrote a file last written at `written` has gone. A second's
// margin covers the coarse clocks involved; within it the process counts as the writer.
bool WriterIsGone(std::uint32_t processId, const timespec& written) {
  if (processId > static_cast<std::uint32_t>(INT_MAX)) return false;
  if (::kill(static_cast<pid_t>(processId), 0) != 0 && errno == ESRCH) return true;
  const std::optional<double> started = StartOfProcess(processId);
  return started && *started > static_cast<double>(written.tv_sec) + 1.0;
}

// Removes `name` (seen as `seen`) unless a running save holds it.
void RemoveUnlessHeld(int folderFd, const char* name, const struct stat& seen) {
  int fd = ::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 && errno == EACCES) fd = ::openat(folderFd, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat opened {};
  const bool same = ::fstat(fd, &opened) == 0 && opened.st_ino == seen.st_ino && opened.st_dev == seen.st_dev;
  bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (!free && errno != EWOULDBLOCK) free = ::time(nullptr) - seen.st_mtime >= platform::kStaleTemporarySeconds;
  if (same && free) ::unlinkat(folderFd, name, 0);
  ::close(fd);
}

}  // namespace

namespace platform {

// Only names of our forms, only regular files of this user.
void RemoveStaleTemporaries(const std::string& folder, const std::string& targetName) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* item = ::readdir(dir)) {
    const auto writer = WriterOfTemporary(item->d_name, targetName);
    struct stat st {};
    if (!writer || ::fstatat(::dirfd(dir), item->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || !WriterIsGone(*writer, st.st_mtim)) continue;
    RemoveUnlessHeld(::dirfd(dir), item->d_name, st);
  }
  ::closedir(dir);
}

}  // namespace platform
