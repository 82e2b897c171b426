// Linux backend of a file's identity: fstat(2) and stat(2).
#include "platform/FileIdentity.h"

#include <sys/stat.h>

#include <cerrno>

namespace platform {

namespace {

FileIdentity IdentityOf(const struct stat& st) {
  return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
          static_cast<long long>(st.st_size),
          static_cast<long long>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace

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
