// Atomic file replacement on Windows: a new temporary file in the target's folder, written
// and flushed to the disk, given the target's hidden and system attributes, then moved
// over the target with MoveFileExA, which replaces it in one step and returns only when
// the move is on the disk. Ctrl+C, Ctrl+Break or closing the console during the save
// deletes the temporary file, and a save removes what saves of processes that are gone
// left behind. The replacement keeps the hidden and system attributes; its security
// descriptor is the one the folder gives new files (MoveFileEx keeps the moved file's own),
// so explicit entries of the replaced file's ACL are not kept, nor its owner.
#include "platform/AtomicFile.h"

#include <atomic>
#include <cctype>
#include <cerrno>

#include "platform/AtomicFileShared.h"
#include "platform/SaveLeftovers.h"
#include "platform/WindowsApi.h"

namespace {

// The errno value that says what a Windows error code says.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
      return EINVAL;
    default:
      return EIO;
  }
}

std::string BaseNameOf(const std::string& path) {
  const auto separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

// Whether Windows takes `name` for a device in any folder: CON, PRN, AUX, NUL, COM0..9,
// LPT0..9, CONIN$, CONOUT$, with any extension and trailing blanks ("nul.csv").
bool IsDeviceName(std::string name) {
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (name == device) return true;
  }
  return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) &&
         name[3] >= '0' && name[3] <= '9';
}

// 0 when a file may take the place of what is at `path`: nothing, or a file on a disk.
// A device name or a path into the device namespace ("\\.\") names no file at all.
int CheckReplaceable(const std::string& path) {
  if (path.starts_with("\\\\.\\") || path.starts_with("//./") || IsDeviceName(BaseNameOf(path)))
    return kSaveTargetNotAFile;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EISDIR;
  // Opened without access, which reads and writes nothing, only to learn its kind.
  platform::ScopedHandle existing(CreateFileA(path.c_str(), 0,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (existing.Valid() && GetFileType(existing.Get()) != FILE_TYPE_DISK) return kSaveTargetNotAFile;
  return 0;
}

BOOL WINAPI RemovePendingOnInterrupt(DWORD) {
  // Deleting a file that is still open marks it; it goes when the process has closed it.
  platform::ForEachPendingTemporary([](const char* path) { DeleteFileA(path); });
  return FALSE;  // the next handler decides: in the end the system's, which ends the process
}

// Creates a new file in the folder whose name no other file has. It may be deleted while
// open, so that an interrupt can remove it.
HANDLE CreateTemporaryIn(const std::string& folderWithSeparator, std::string& tempPath) {
  static std::atomic<std::uint32_t> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::uint32_t unique = (counter++ << 20) ^ static_cast<std::uint32_t>(GetTickCount64() & 0xFFFFF);
    tempPath = folderWithSeparator + platform::TemporaryFileName(GetCurrentProcessId(), unique);
    const HANDLE file = CreateFileA(tempPath.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

DWORD WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    bytes.remove_prefix(written);
  }
  return ERROR_SUCCESS;
}

}  // namespace

namespace platform {

// A console handler is called before the ones installed earlier; when one of those keeps
// the process running (the command-line transfers' interrupt watch), the save that lost
// its file fails and says so, and the target stays as it was.
void InstallInterruptCleanup() { SetConsoleCtrlHandler(RemovePendingOnInterrupt, TRUE); }
void RemoveInterruptCleanup() { SetConsoleCtrlHandler(RemovePendingOnInterrupt, FALSE); }

}  // namespace platform

void RemoveLeftoverTemporaries(const std::string& path) {
  platform::RemoveStaleTemporaries(platform::FolderOfPath(path), BaseNameOf(path));
}

// `options.mayChangeOwner` asks for nothing here: no part of the file's identity is refused.
int SaveFileAtomically(const std::string& path, std::string_view bytes, const AtomicSaveOptions& options) {
  if (path.empty() || path.back() == '/' || path.back() == '\\') return EISDIR;
  if (int refused = CheckReplaceable(path); refused != 0) return refused;
  // Windows refuses to replace a read-only file; said here so that every system that
  // runs the program (Wine replaces it) keeps the user's protection.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return EACCES;
  const std::string folder = platform::FolderOfPath(path);
  const std::string folderWithSeparator =
      folder + (folder.back() == '\\' || folder.back() == '/' ? "" : "\\");
  platform::RemoveStaleTemporaries(folder, BaseNameOf(path));

  platform::PendingTemporary pending;
  std::string tempPath;
  const HANDLE file = CreateTemporaryIn(folderWithSeparator, tempPath);
  if (file == INVALID_HANDLE_VALUE) return ErrnoOf(GetLastError());
  pending.Arm(tempPath);
  DWORD error = WriteAll(file, bytes);
  if (error == ERROR_SUCCESS && !FlushFileBuffers(file)) error = GetLastError();
  if (!CloseHandle(file) && error == ERROR_SUCCESS) error = GetLastError();
  constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  if (error == ERROR_SUCCESS && attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKeptAttributes) &&
      !SetFileAttributesA(tempPath.c_str(), attributes & (kKeptAttributes | FILE_ATTRIBUTE_ARCHIVE))) {
    error = GetLastError();
  }
  if (error == ERROR_SUCCESS &&
      !MoveFileExA(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    DeleteFileA(tempPath.c_str());
    return ErrnoOf(error);
  }
  // MOVEFILE_WRITE_THROUGH returned only once the move was on the disk: nothing to sync.
  if (options.written) *options.written = platform::IdentityOfFile(path).value_or(platform::FileIdentity{});
  return 0;
}
