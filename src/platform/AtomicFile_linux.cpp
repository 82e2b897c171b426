// Atomic file replacement on POSIX: a uniquely named temporary file in the target's folder,
// given the target's owner, group, extended attributes (ACLs among them) and mode, written
// and synced, renamed over the target, then the folder synced so the rename is durable. A
// signal that would end the process half-way takes the temporary file with it, and a save
// removes what saves of processes that are gone left behind.
#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <memory>

#include "platform/AtomicFileShared.h"
#include "platform/SaveLeftovers.h"

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

// The file a save must write: where a symbolic link points, followed to its end, so that
// saving through a link keeps the link, and a link to a file not made yet creates it.
// Returns 0, or ELOOP for links that never end.
int ResolveTarget(const std::string& requested, std::string& path) {
  path = requested;
  for (int hops = 0; hops < 40; ++hops) {  // the kernel's own limit
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length < 0) return 0;  // no link (or nothing there): this is the file
    if (length == static_cast<ssize_t>(sizeof target)) return ENAMETOOLONG;
    const std::string pointed(target, static_cast<std::size_t>(length));
    path = pointed.starts_with('/') ? pointed : FolderOf(path) + "/" + pointed;
  }
  return ELOOP;
}

// 0 when a file may take the place of what is at `path` (`st` from lstat, `exists` whether
// it succeeded): nothing, or a regular file. Renaming over a device, a FIFO or a socket
// would put a plain file in the place of something the system relies on (as root,
// /dev/null itself).
int CheckReplaceable(bool exists, const struct stat& st) {
  if (!exists || S_ISREG(st.st_mode)) return 0;
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

// Marks a new temporary file as a running save's: a lock on it, which the sweep of
// leftovers (SaveLeftovers_linux.cpp) cannot take, wherever it runs, until this process has
// closed the file or ended. False when a sweep removed the file before the lock was taken:
// the caller makes another. On a file system without locks the sweep goes by age instead.
bool HoldAsRunning(int fd, const std::string& path) {
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return errno != EWOULDBLOCK;
  struct stat held {}, named {};
  return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
         held.st_dev == named.st_dev;
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
    if (fd < 0 && errno != EEXIST) return fd;
    if (fd >= 0 && HoldAsRunning(fd, tempPath)) return fd;
    if (fd >= 0) {  // the name, made of this process's id, can name nothing but this file
      ::unlink(tempPath.c_str());
      ::close(fd);
    }
  }
  errno = EEXIST;
  return -1;
}

// --- What a replaced file keeps besides its bytes ---

// Whether a failure to read or set an owner or an attribute is the system's refusal (this
// process may not) rather than a fault.
bool IsRefusal(int error) { return error == EPERM || error == EACCES || error == ENOTSUP; }

// Gives the file open as `fd` the owner and group of `old`. Returns 0, kSaveKeepsNoOwner when
// the system lets this process give only part of them (not root: the owner, or a group it
// is not a member of; the group is given whenever it can be), or the errno of a fault.
int KeepOwner(const struct stat& old, int fd) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return errno;
  if ((now.st_uid == old.st_uid && now.st_gid == old.st_gid) || ::fchown(fd, old.st_uid, old.st_gid) == 0) return 0;
  if (!IsRefusal(errno)) return errno;
  if (now.st_gid != old.st_gid && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0 && !IsRefusal(errno))
    return errno;
  return kSaveKeepsNoOwner;
}

// Copies the extended attributes of the file at `path` to the file open as `fd`: the ACLs
// ("system.posix_acl_access") and the users' own ("user.*"), which must all arrive, and the
// others (security labels, which the system gives a new file itself, and root's "trusted.*")
// where the system allows. Returns 0, kSaveKeepsNoOwner when the system refused one that
// must arrive, or the errno of a fault. The buffers hold the system's largest list and
// value (64 KiB each).
int KeepAttributes(const std::string& path, int fd) {
  constexpr std::size_t kLargest = 65536;
  const auto names = std::make_unique<char[]>(kLargest);
  const auto value = std::make_unique<char[]>(kLargest);
  const ssize_t listed = ::llistxattr(path.c_str(), names.get(), kLargest);
  if (listed < 0) return errno == ENOTSUP ? 0 : IsRefusal(errno) ? kSaveKeepsNoOwner : errno;
  int result = 0;
  for (const char* name = names.get(); name < names.get() + listed; name += std::strlen(name) + 1) {
    const ssize_t size = ::lgetxattr(path.c_str(), name, value.get(), kLargest);
    if (size < 0 && errno == ENODATA) continue;  // removed meanwhile
    const int error =
        size < 0 || ::fsetxattr(fd, name, value.get(), static_cast<std::size_t>(size), 0) != 0 ? errno : 0;
    const std::string_view kind(name);
    if (error == 0 || !(kind.starts_with("user.") || kind.starts_with("system."))) continue;
    if (!IsRefusal(error)) return error;
    result = kSaveKeepsNoOwner;
  }
  return result;
}

// Gives the temporary file open as `fd` what the file it replaces (`old`, at `path`) has
// besides its bytes: owner and group, extended attributes, then the mode (last, since a
// change of owner clears the set-id bits). Returns 0, kSaveKeepsNoOwner when the system
// refuses part of it and `mayChangeOwner` is false, or the errno of a fault.
int KeepIdentity(const std::string& path, const struct stat& old, int fd, bool mayChangeOwner) {
  const int owner = KeepOwner(old, fd);
  if (owner != 0 && owner != kSaveKeepsNoOwner) return owner;
  const int attributes = KeepAttributes(path, fd);
  if (attributes != 0 && attributes != kSaveKeepsNoOwner) return attributes;
  if ((owner != 0 || attributes != 0) && !mayChangeOwner) return kSaveKeepsNoOwner;
  return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
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

// Makes the rename itself survive a crash; 0, or the errno of the sync. A file system that
// cannot sync a folder (EINVAL) has nothing more to offer, and a folder this process may
// write but not read cannot be opened for it: both pass.
int SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;
  const int error = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return error == EINVAL || error == ENOTSUP ? 0 : error;
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

void RemoveLeftoverTemporaries(const std::string& requestedPath) {
  std::string path;
  if (ResolveTarget(requestedPath, path) == 0) platform::RemoveStaleTemporaries(FolderOf(path), BaseNameOf(path));
}

int SaveFileAtomically(const std::string& requestedPath, std::string_view bytes,
                       const AtomicSaveOptions& options) {
  if (requestedPath.empty() || requestedPath.back() == '/') return EISDIR;
  std::string path;
  if (int error = ResolveTarget(requestedPath, path); error != 0) return error;
  if (path.back() == '/') return EISDIR;  // a link to a folder's name
  struct stat old {};
  const bool exists = ::lstat(path.c_str(), &old) == 0;
  if (int refused = CheckReplaceable(exists, old); refused != 0) return refused;
  // Renaming would replace a file the user made read-only; refuse as writing into it would.
  if (exists && ::access(path.c_str(), W_OK) != 0) return errno;
  const std::string folder = FolderOf(path);
  platform::RemoveStaleTemporaries(folder, BaseNameOf(path));

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
  int error = exists ? KeepIdentity(path, old, fd, options.mayChangeOwner) : 0;
  if (error == 0) error = WriteAll(fd, bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  platform::FileIdentity written;
  if (error == 0) error = platform::IdentityOfOpenFile(fd, written);
  // The lock stays with a second descriptor until the rename, while closing the first
  // reports what a network file system could only say then.
  const int lockHolder = error == 0 ? ::dup(fd) : -1;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(tempPath.c_str(), path.c_str()) != 0) error = errno;
  if (lockHolder >= 0) ::close(lockHolder);
  if (error != 0) {
    ::unlink(tempPath.c_str());
    return error;
  }
  if (options.written) *options.written = written;
  return SyncFolder(folder) == 0 ? 0 : kSaveNotDurable;
}
