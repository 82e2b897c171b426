// Atomic file replacement on POSIX: a uniquely named temporary file in the target's folder,
// written and synced, renamed over the target, then the folder synced so the rename is
// durable. A signal that would end the process half-way takes the temporary file with it,
// and a save removes what saves of processes that are gone left behind.
#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <ctime>

#include "platform/AtomicFileShared.h"

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

// 0 when a file may take the place of what is at `path`: nothing, a regular file, or a
// dangling link. Renaming over a device, a FIFO or a socket would put a plain file in the
// place of something the system relies on (as root, /dev/null itself).
int CheckReplaceable(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) return 0;
  return S_ISDIR(st.st_mode) ? EISDIR : kSaveTargetNotAFile;
}

// Removes the pending temporary files, then lets the signal end the process as it would
// have without us.
void RemovePendingTemporaries(int signal) {
  const int savedErrno = errno;
  platform::ForEachPendingTemporary([](const char* path) { ::unlink(path); });
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  ::raise(signal);  // delivered as soon as this handler returns
  errno = savedErrno;
}

constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalCount = sizeof kCleanedSignals / sizeof kCleanedSignals[0];
struct sigaction g_previous[kSignalCount];  // what the process did before, while installed
bool g_bInstalled[kSignalCount] = {};

// Holds the cleaned signals back in this thread for its lifetime; one that came meanwhile
// is handled when they are let through again.
class HeldSignals {
 public:
  HeldSignals() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : kCleanedSignals) sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &m_previous);
  }
  ~HeldSignals() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

 private:
  sigset_t m_previous;
};

// --- Leftovers of saves whose process is gone ---

bool ProcessIsGone(std::uint32_t processId) {
  if (processId > static_cast<std::uint32_t>(INT_MAX)) return false;
  return ::kill(static_cast<pid_t>(processId), 0) != 0 && errno == ESRCH;
}

// Removes the temporary files in `folder` that saves left there: only names of our forms,
// only regular files of this user, only when their process has gone and they have stood
// untouched long enough.
void RemoveStaleTemporaries(const std::string& folder, const std::string& targetName) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const time_t now = ::time(nullptr);
  while (const dirent* item = ::readdir(dir)) {
    const auto writer = platform::WriterOfTemporary(item->d_name, targetName);
    if (!writer || !ProcessIsGone(*writer)) continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir), item->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
    if (now - st.st_mtime < platform::kStaleTemporarySeconds) continue;
    ::unlinkat(::dirfd(dir), item->d_name, 0);
  }
  ::closedir(dir);
}

// Creates a new file in `folder` whose name no other file has; -1 with errno on failure.
int CreateTemporaryIn(const std::string& folder, std::string& tempPath) {
  static std::atomic<std::uint32_t> counter{0};
  const auto pid = static_cast<std::uint32_t>(::getpid());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto ticks = static_cast<std::uint32_t>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    const std::uint32_t unique = (counter++ << 20) ^ (ticks & 0xFFFFF);
    tempPath = folder + "/" + platform::TemporaryFileName(pid, unique);
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

namespace platform {

// Only signals that would end the process get the cleanup: one the process ignores or
// handles itself (as the command-line transfers do) leaves it running, and the save then
// finishes or fails on its own and removes its file either way.
void InstallInterruptCleanup() {
  for (int i = 0; i < kSignalCount; ++i) {
    g_bInstalled[i] = false;
    if (::sigaction(kCleanedSignals[i], nullptr, &g_previous[i]) != 0) continue;
    if ((g_previous[i].sa_flags & SA_SIGINFO) || g_previous[i].sa_handler != SIG_DFL) continue;
    struct sigaction cleanup {};
    cleanup.sa_handler = RemovePendingTemporaries;
    sigemptyset(&cleanup.sa_mask);
    for (int signal : kCleanedSignals) sigaddset(&cleanup.sa_mask, signal);
    cleanup.sa_flags = SA_RESTART;
    g_bInstalled[i] = ::sigaction(kCleanedSignals[i], &cleanup, nullptr) == 0;
  }
}

void RemoveInterruptCleanup() {
  for (int i = 0; i < kSignalCount; ++i) {
    struct sigaction current {};
    if (g_bInstalled[i] && ::sigaction(kCleanedSignals[i], nullptr, &current) == 0 &&
        current.sa_handler == RemovePendingTemporaries) {
      ::sigaction(kCleanedSignals[i], &g_previous[i], nullptr);
    }
    g_bInstalled[i] = false;
  }
}

}  // namespace platform

int SaveFileAtomically(const std::string& requestedPath, std::string_view bytes) {
  if (requestedPath.empty() || requestedPath.back() == '/') return EISDIR;
  const std::string path = ResolveTarget(requestedPath);
  if (int refused = CheckReplaceable(path); refused != 0) return refused;
  // Renaming would replace a file the user made read-only; refuse as writing into it would.
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) return errno;
  const std::string folder = FolderOf(path);
  RemoveStaleTemporaries(folder, BaseNameOf(path));

  platform::PendingTemporary pending;
  std::string tempPath;
  int fd, createError;
  {
    HeldSignals held;  // none may strike between the file's creation and its registration
    fd = CreateTemporaryIn(folder, tempPath);
    createError = errno;
    if (fd >= 0) pending.Arm(tempPath);
  }
  if (fd < 0) return createError;
  int error = KeepModeOf(path, fd);
  if (error == 0) error = WriteAll(fd, bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(tempPath.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(tempPath.c_str());
    return error;
  }
  SyncFolder(folder);
  return 0;
}
