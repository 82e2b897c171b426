// Opening a regular file for reading as a C runtime file descriptor, in binary mode on
// every system (Windows would otherwise turn "\r\n" into "\n" while reading), and telling
// whether a file is still the one that was opened.
#pragma once

#include <string>

namespace platform {

// What tells one file, and one state of its content, from another: the file itself (its
// device and its number there) and its size and last change.
struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long file = 0;
  long long size = 0;
  long long modified = 0;  // in the system's finest unit

  bool SameFile(const FileIdentity& other) const {
    return device == other.device && file == other.file;
  }
  bool SameContent(const FileIdentity& other) const {
    return size == other.size && modified == other.modified;
  }
};

// Opens `path` for reading. Returns 0 and sets `fd` (for read, lseek and close) and the
// file's identity; otherwise the errno of the failure: EISDIR for a folder, EINVAL for
// anything else that is not a regular file (a pipe or a device, which could block or
// never end).
int OpenRegularFileForReading(const std::string& path, int& fd, FileIdentity& identity);

// The identity of the open file `fd`, and of the file `path` names now; 0 or the errno.
int IdentityOfOpenFile(int fd, FileIdentity& identity);
int IdentityOfPath(const std::string& path, FileIdentity& identity);

}  // namespace platform
