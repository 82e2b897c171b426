// The file-call layer: each interposed function decides whether its file lies in the
// watched folder, counts the call, does what is armed for it, and then calls the C
// library's own function (found with dlsym(RTLD_NEXT)).
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include "SyscallFaults.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace sysfaults {
namespace {

enum class Armed { Nothing, Failure, Kill, Step };

// Descriptors opened on watched files (and folders), so that calls on them are counted.
constexpr int kMostDescriptors = 65536;
std::atomic<bool> g_watchedFd[kMostDescriptors];

std::mutex g_mutex;                // guards the members below
std::string g_folder;              // watched folder, no trailing slash; empty: none
std::vector<Call> g_calls;         // since the last Watch or Arm
std::atomic<bool> g_watching{false};
std::atomic<int> g_count{0};
std::atomic<int> g_armedAt{0};
std::atomic<Armed> g_armed{Armed::Nothing};
std::atomic<int> g_error{0};
std::atomic<bool> g_fired{false};
std::function<void()> g_step;
int g_logFd = -1;                  // a child's log, written as the calls happen

// True while this thread is inside the layer's own work (or a step): its calls pass.
thread_local bool t_inside = false;

template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}
#define REAL(name) static const auto real = ::sysfaults::Real<decltype(&::name)>(#name)

bool InFolder(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return !g_folder.empty() && (path == g_folder || path.starts_with(g_folder + "/"));
}

// Whether `path` (relative to `dirfd` when it is relative) names something in the folder.
bool Watched(int dirfd, const char* path) {
  if (!g_watching || t_inside || !path) return false;
  if (path[0] == '/') return InFolder(path);
  if (dirfd != AT_FDCWD) return dirfd >= 0 && dirfd < kMostDescriptors && g_watchedFd[dirfd];
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return false;
  return InFolder(std::string(cwd) + "/" + path);
}
bool Watched(const char* path) { return Watched(AT_FDCWD, path); }
bool WatchedFd(int fd) {
  return g_watching && !t_inside && fd >= 0 && fd < kMostDescriptors && g_watchedFd[fd];
}

std::string PathOfFd(int fd) {
  char link[64], target[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

// Counts one watched call and does what is armed for it. True when the call is to fail
// (errno is then set).
bool Intercept(const char* name, const std::string& path, bool writes) {
  t_inside = true;
  const int call = ++g_count;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_calls.push_back({name, path, writes});
  }
  if (g_logFd >= 0) {
    const std::string line = std::string(name) + '\t' + (writes ? "1" : "0") + '\t' + path + '\n';
    REAL(write);
    if (real(g_logFd, line.data(), line.size()) < 0) std::abort();
  }
  bool fail = false;
  if (call == g_armedAt && g_armed != Armed::Nothing) {
    g_fired = true;
    switch (g_armed.load()) {
      case Armed::Kill:
        kill(getpid(), SIGKILL);
        break;
      case Armed::Step: {
        std::function<void()> step;
        {
          std::lock_guard<std::mutex> lock(g_mutex);
          step = g_step;
        }
        if (step) step();
        break;
      }
      case Armed::Failure:
        fail = true;
        break;
      case Armed::Nothing:
        break;
    }
  }
  t_inside = false;
  if (fail) errno = g_error;
  return fail;
}
bool InterceptFd(const char* name, int fd, bool writes) { return Intercept(name, PathOfFd(fd), writes); }
bool InterceptPath(const char* name, int dirfd, const char* path, bool writes) {
  return Intercept(name, dirfd == AT_FDCWD || path[0] == '/' ? std::string(path) : PathOfFd(dirfd) + "/" + path,
                   writes);
}

void NoteOpened(int fd, bool watched) {
  if (fd >= 0 && fd < kMostDescriptors) g_watchedFd[fd] = watched;
}

bool Creates(int flags) { return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE; }

template <typename Open>
int OpenAt(Open real, const char* name, int dirfd, const char* path, int flags, mode_t mode) {
  const bool watched = Watched(dirfd, path);
  if (watched && InterceptPath(name, dirfd, path, Creates(flags))) return -1;
  const int fd = real(dirfd, path, flags, mode);
  NoteOpened(fd, watched);
  return fd;
}

mode_t ModeOf(int flags, va_list args) { return Creates(flags) ? static_cast<mode_t>(va_arg(args, int)) : 0; }

void ArmWith(int n, Armed armed, int error, std::function<void()> step) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_calls.clear();
    g_step = std::move(step);
  }
  g_count = 0;
  g_fired = false;
  g_error = error;
  g_armedAt = n;
  g_armed = armed;
}

// A child program's arming, from its environment (run by the object below, after the
// globals above are initialised).
void ArmFromEnvironment() {
  const char* folder = std::getenv("QVBOOK_SYSCALL_FAULTS_DIR");
  if (!folder) return;
  if (const char* log = std::getenv("QVBOOK_SYSCALL_FAULTS_LOG")) {
    REAL(open);
    g_logFd = real(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  }
  Watch(folder);
  const char* fault = std::getenv("QVBOOK_SYSCALL_FAULT");
  if (!fault || !*fault) return;
  const char* kind = std::strchr(fault, ':');
  const int n = std::atoi(fault);
  if (!kind || n <= 0) std::abort();
  if (std::strcmp(kind + 1, "kill") == 0) ArmKill(n);
  else if (std::strcmp(kind + 1, "eio") == 0) ArmFailure(n, EIO);
  else if (std::strcmp(kind + 1, "enospc") == 0) ArmFailure(n, ENOSPC);
  else std::abort();
}

struct ArmedFromEnvironment {
  ArmedFromEnvironment() { ArmFromEnvironment(); }
} g_armedFromEnvironment;

}  // namespace

void Watch(const std::string& folder) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_folder = folder;
    while (g_folder.size() > 1 && g_folder.back() == '/') g_folder.pop_back();
  }
  ArmWith(0, Armed::Nothing, 0, {});
  g_watching = true;
}

void StopWatching() {
  g_watching = false;
  Disarm();
}

void ArmFailure(int n, int error) { ArmWith(n, Armed::Failure, error, {}); }
void ArmKill(int n) { ArmWith(n, Armed::Kill, 0, {}); }
void ArmStep(int n, std::function<void()> step) { ArmWith(n, Armed::Step, 0, std::move(step)); }
void Disarm() { g_armed = Armed::Nothing; }

std::vector<Call> Calls() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_calls;
}

bool Fired() { return g_fired; }

}  // namespace sysfaults

// --- The C library's functions, in front of its own ---

using sysfaults::InterceptFd;
using sysfaults::InterceptPath;
using sysfaults::Watched;
using sysfaults::WatchedFd;

extern "C" {

int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = sysfaults::ModeOf(flags, args);
  va_end(args);
  REAL(openat);
  return sysfaults::OpenAt(real, "open", AT_FDCWD, path, flags, mode);
}
int openat(int dirfd, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = sysfaults::ModeOf(flags, args);
  va_end(args);
  REAL(openat);
  return sysfaults::OpenAt(real, "openat", dirfd, path, flags, mode);
}

int close(int fd) {
  REAL(close);
  const bool watched = WatchedFd(fd);
  sysfaults::NoteOpened(fd, false);
  // A close that fails has still released the descriptor, as on Linux.
  if (watched && InterceptFd("close", fd, false)) {
    const int error = errno;
    real(fd);
    errno = error;
    return -1;
  }
  return real(fd);
}

ssize_t read(int fd, void* buffer, size_t count) {
  REAL(read);
  if (WatchedFd(fd) && InterceptFd("read", fd, false)) return -1;
  return real(fd, buffer, count);
}
ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
  REAL(pread);
  if (WatchedFd(fd) && InterceptFd("pread", fd, false)) return -1;
  return real(fd, buffer, count, offset);
}
ssize_t write(int fd, const void* buffer, size_t count) {
  REAL(write);
  if (WatchedFd(fd) && InterceptFd("write", fd, true)) return -1;
  return real(fd, buffer, count);
}
ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
  REAL(pwrite);
  if (WatchedFd(fd) && InterceptFd("pwrite", fd, true)) return -1;
  return real(fd, buffer, count, offset);
}
off_t lseek(int fd, off_t offset, int whence) {
  REAL(lseek);
  if (WatchedFd(fd) && InterceptFd("lseek", fd, false)) return -1;
  return real(fd, offset, whence);
}

int fstat(int fd, struct stat* st) {
  REAL(fstat);
  if (WatchedFd(fd) && InterceptFd("fstat", fd, false)) return -1;
  return real(fd, st);
}
int stat(const char* path, struct stat* st) {
  REAL(stat);
  if (Watched(path) && InterceptPath("stat", AT_FDCWD, path, false)) return -1;
  return real(path, st);
}
int lstat(const char* path, struct stat* st) {
  REAL(lstat);
  if (Watched(path) && InterceptPath("lstat", AT_FDCWD, path, false)) return -1;
  return real(path, st);
}
int fstatat(int dirfd, const char* path, struct stat* st, int flags) {
  REAL(fstatat);
  const bool onFd = path[0] == '\0' && (flags & AT_EMPTY_PATH);
  if (onFd ? WatchedFd(dirfd) && InterceptFd("fstatat", dirfd, false)
           : Watched(dirfd, path) && InterceptPath("fstatat", dirfd, path, false))
    return -1;
  return real(dirfd, path, st, flags);
}
int access(const char* path, int mode) {
  REAL(access);
  if (Watched(path) && InterceptPath("access", AT_FDCWD, path, false)) return -1;
  return real(path, mode);
}

int fsync(int fd) {
  REAL(fsync);
  if (WatchedFd(fd) && InterceptFd("fsync", fd, true)) return -1;
  return real(fd);
}
int fdatasync(int fd) {
  REAL(fdatasync);
  if (WatchedFd(fd) && InterceptFd("fdatasync", fd, true)) return -1;
  return real(fd);
}
int ftruncate(int fd, off_t length) {
  REAL(ftruncate);
  if (WatchedFd(fd) && InterceptFd("ftruncate", fd, true)) return -1;
  return real(fd, length);
}
int fchmod(int fd, mode_t mode) {
  REAL(fchmod);
  if (WatchedFd(fd) && InterceptFd("fchmod", fd, false)) return -1;
  return real(fd, mode);
}
int fchown(int fd, uid_t owner, gid_t group) {
  REAL(fchown);
  if (WatchedFd(fd) && InterceptFd("fchown", fd, false)) return -1;
  return real(fd, owner, group);
}

int rename(const char* from, const char* to) {
  REAL(rename);
  if ((Watched(from) || Watched(to)) && InterceptPath("rename", AT_FDCWD, to, true)) return -1;
  return real(from, to);
}
int unlink(const char* path) {
  REAL(unlink);
  if (Watched(path) && InterceptPath("unlink", AT_FDCWD, path, false)) return -1;
  return real(path);
}
int unlinkat(int dirfd, const char* path, int flags) {
  REAL(unlinkat);
  if (Watched(dirfd, path) && InterceptPath("unlinkat", dirfd, path, false)) return -1;
  return real(dirfd, path, flags);
}

DIR* opendir(const char* path) {
  REAL(opendir);
  const bool watched = Watched(path);
  if (watched && InterceptPath("opendir", AT_FDCWD, path, false)) return nullptr;
  DIR* dir = real(path);
  if (dir) sysfaults::NoteOpened(dirfd(dir), watched);
  return dir;
}
int closedir(DIR* dir) {
  REAL(closedir);
  sysfaults::NoteOpened(dirfd(dir), false);
  return real(dir);
}

// On 64-bit Linux the large-file names take the same types as the plain ones (the stat
// records differ in name only).
static_assert(sizeof(off_t) == sizeof(off64_t) && sizeof(struct stat) == sizeof(struct stat64), "a 64-bit system");
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattribute-alias"
int fstat64(int, struct stat64*) __attribute__((alias("fstat")));
int stat64(const char*, struct stat64*) __attribute__((alias("stat")));
int lstat64(const char*, struct stat64*) __attribute__((alias("lstat")));
int fstatat64(int, const char*, struct stat64*, int) __attribute__((alias("fstatat")));
#pragma GCC diagnostic pop
int open64(const char*, int, ...) __attribute__((alias("open")));
int openat64(int, const char*, int, ...) __attribute__((alias("openat")));
ssize_t pread64(int, void*, size_t, off64_t) __attribute__((alias("pread")));
ssize_t pwrite64(int, const void*, size_t, off64_t) __attribute__((alias("pwrite")));
off64_t lseek64(int, off64_t, int) __attribute__((alias("lseek")));
int ftruncate64(int, off64_t) __attribute__((alias("ftruncate")));

}  // extern "C"
