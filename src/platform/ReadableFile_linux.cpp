// Linux backend of opening a file for reading: open(2) and fstat(2).
#include "platform/ReadableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

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
  if (int error = IdentityOfOpenFile(opened, identity)) {
    ::close(opened);
    return error;
  }
  fd = opened;
  return 0;
}

}  // namespace platform
