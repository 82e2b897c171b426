// Linux backend of opening a file for reading: open(2), fstat(2) and stat(2).
#include "platform/ReadableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity identity;
  identity.device = static_cast<unsigned long long>(st.st_dev);
  identity.file = static_cast<unsigned long long>(st.st_ino);
  identity.size = static_cast<long long>(st.st_size);
  identity.modified = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return identity;
}

}  // namespace

int OpenRegularFileForReading(const std::string& path, int& fd, FileIdentity& identity) {
  // O_NONBLOCK keeps opening a FIFO from waiting for a writer; it is refused below anyway.
  const int opened = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (opened < 0) return errno;
  struct stat st {};
  if (::fstat(opened, &st) != 0) {
    const int error = errno;
    ::close(opened);
    return error;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(opened);
    return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  }
  fd = opened;
  identity = IdentityOf(st);
  return 0;
}

int IdentityOfOpenFile(int fd, FileIdentity& identity) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return errno;
  identity = IdentityOf(st);
  return 0;
}

int IdentityOfPath(const std::string& path, FileIdentity& identity) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno;
  identity = IdentityOf(st);
  return 0;
}

}  // namespace platform
