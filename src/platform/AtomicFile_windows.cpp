// Atomic file replacement on Windows: a new temporary file in the target's folder, written
// and flushed to the disk, given the target's hidden and system attributes, then moved
// over the target with MoveFileExA, which replaces it in one step and returns only when
// the move is on the disk.
#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>

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

// Creates a new file beside `path` whose name no other file has.
HANDLE CreateTemporaryBeside(const std::string& path, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  const std::string folder = platform::FolderOfPath(path);
  const auto separator = path.find_last_of("\\/");
  const std::string base = separator == std::string::npos ? path : path.substr(separator + 1);
  const std::string joint = folder.back() == '\\' || folder.back() == '/' ? "" : "\\";
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = folder + joint + "." + base + ".tmp" + std::to_string(GetCurrentProcessId()) + "." +
               std::to_string(counter++) + "." + std::to_string(GetTickCount64() & 0xFFFFFF);
    const HANDLE file = CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
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

int SaveFileAtomically(const std::string& path, std::string_view bytes) {
  if (path.empty() || path.back() == '/' || path.back() == '\\') return EISDIR;
  // Windows refuses to replace a read-only file; said here so that every system that
  // runs the program (Wine replaces it) keeps the user's protection.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return EACCES;
  std::string tempPath;
  const HANDLE file = CreateTemporaryBeside(path, tempPath);
  if (file == INVALID_HANDLE_VALUE) return ErrnoOf(GetLastError());
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
  return 0;
}
