// Windows backend of a file's identity: the volume serial number, file index, size and
// last write time that GetFileInformationByHandle reports.
#include "platform/FileIdentity.h"

#include "platform/WindowsApi.h"

namespace platform {

std::optional<FileIdentity> IdentityOfFile(const std::string& path) {
  // Opened without access, which reads and writes nothing and lets others do both.
  ScopedHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file.Valid() || !GetFileInformationByHandle(file.Get(), &info)) return std::nullopt;
  const auto join = [](DWORD high, DWORD low) { return (static_cast<unsigned long long>(high) << 32) | low; };
  return FileIdentity{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
                      static_cast<long long>(join(info.nFileSizeHigh, info.nFileSizeLow)),
                      static_cast<long long>(join(info.ftLastWriteTime.dwHighDateTime,
                                                  info.ftLastWriteTime.dwLowDateTime)) * 100};
}

}  // namespace platform
