// Windows backend of a file's identity: the volume serial number, file index, size and
// last write time that GetFileInformationByHandle reports.
#include "platform/FileIdentity.h"

#include <io.h>

#include <cerrno>

#include "platform/WindowsApi.h"

namespace platform {

namespace {

int IdentityOfHandle(HANDLE handle, FileIdentity& identity) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) return EIO;
  const auto join = [](DWORD high, DWORD low) { return (static_cast<unsigned long long>(high) << 32) | low; };
  identity = FileIdentity{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
                          static_cast<long long>(join(info.nFileSizeHigh, info.nFileSizeLow)),
                          static_cast<long long>(join(info.ftLastWriteTime.dwHighDateTime,
                                                      info.ftLastWriteTime.dwLowDateTime)) * 100};
  return 0;
}

}  // namespace

int IdentityOfOpenFile(int fd, FileIdentity& identity) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return EBADF;
  return IdentityOfHandle(handle, identity);
}

int IdentityOfPath(const std::string& path, FileIdentity& identity) {
  // No access asked for: only the file's information is read, whoever holds it open, and
  // others may read, write and delete meanwhile.
  ScopedHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.Valid()) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT : EIO;
  }
  return IdentityOfHandle(file.Get(), identity);
}

}  // namespace platform
