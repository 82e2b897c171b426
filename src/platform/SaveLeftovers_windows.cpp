// Windows backend of the leftovers of saves. A process is known gone when no process has
// its id, it has exited, or the one that has it now started after the file was last written
// (the id was used again). A running save has its file open without sharing it for reading
// or writing, so the file is removed through a handle that shares nothing and deletes on
// closing: it cannot be had while any save, on this machine or another sharing the folder,
// has the file open.
#include "platform/SaveLeftovers.h"

#include "platform/AtomicFileShared.h"
#include "platform/WindowsApi.h"

namespace {

long long TicksOf(const FILETIME& time) {  // 100 ns since 1601
  return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// A second's margin covers the coarse clocks involved; within it the process counts as the
// writer.
bool WriterIsGone(std::uint32_t processId, const FILETIME& written) {
  platform::ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process.Valid()) return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  DWORD exitCode = 0;
  if (GetExitCodeProcess(process.Get(), &exitCode) && exitCode != STILL_ACTIVE) return true;
  FILETIME created, exited, kernel, user;
  return GetProcessTimes(process.Get(), &created, &exited, &kernel, &user) &&
         TicksOf(created) > TicksOf(written) + 10000000;
}

}  // namespace

namespace platform {

// Only names of our forms, only plain files. (Whose they are is left to the folder's access
// rules, which decide whether the deletion is allowed.)
void RemoveStaleTemporaries(const std::string& folder, const std::string& targetName) {
  const std::string prefix = folder + (folder.back() == '\\' || folder.back() == '/' ? "" : "\\");
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((prefix + ".*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    const auto writer = WriterOfTemporary(found.cFileName, targetName);
    if (!writer || !WriterIsGone(*writer, found.ftLastWriteTime)) continue;
    ScopedHandle unshared(CreateFileA((prefix + found.cFileName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace platform
