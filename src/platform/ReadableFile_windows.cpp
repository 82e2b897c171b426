// Windows backend of opening a file for reading: the C runtime's _open in binary mode, and
// the file's identity from its handle (volume serial number, file index, size, last write).
#include "platform/ReadableFile.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/WindowsApi.h"

namespace platform {

namespace {

int IdentityOfHandle(HANDLE handle, FileIdentity& identity) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) return EIO;
  identity.device = info.dwVolumeSerialNumber;
  identity.file = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  identity.size = static_cast<long long>((static_cast<unsigned long long>(info.nFileSizeHigh) << 32) |
                                         info.nFileSizeLow);
  identity.modified = static_cast<long long>(
      (static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32) |
      info.ftLastWriteTime.dwLowDateTime);
  return 0;
}

}  // namespace

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

int IdentityOfOpenFile(int fd, FileIdentity& identity) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return EBADF;
  return IdentityOfHandle(handle, identity);
}

int IdentityOfPath(const std::string& path, FileIdentity& identity) {
  // No access asked for: only the file's information is read, whoever holds it open.
  ScopedHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.Valid()) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT : EIO;
  }
  return IdentityOfHandle(file.Get(), identity);
}

}  // namespace platform
