// Windows backend of opening a file for reading: the C runtime's _open in binary mode.
#include "platform/ReadableFile.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/WindowsApi.h"

namespace platform {

int OpenRegularFileForReading(const std::string& path, int& fd, FileIdentity& identity) {
  // The runtime cannot open a folder; say so as Linux would.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return EISDIR;
  const int opened = ::_open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (opened < 0) return errno;
  struct _stat64 st {};
  if (::_fstat64(opened, &st) != 0) {
    const int error = errno;
    ::_close(opened);
    return error;
  }
  if ((st.st_mode & _S_IFMT) != _S_IFREG) {
    ::_close(opened);
    return EINVAL;
  }
  if (int error = IdentityOfOpenFile(opened, identity)) {
    ::_close(opened);
    return error;
  }
  fd = opened;
  return 0;
}

}  // namespace platform
