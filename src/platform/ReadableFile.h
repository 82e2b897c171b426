// Opening a regular file for reading as a C runtime file descriptor, in binary mode on
// every system (Windows would otherwise turn "\r\n" into "\n" while reading), and telling
// whether a file is still the one that was opened.
#pragma once

#include <string>

#include "platform/FileIdentity.h"

namespace platform {

// Opens `path` for reading. Returns 0 and sets `fd` (for read, lseek and close) and the
// file's identity; otherwise the errno of the failure: EISDIR for a folder, EINVAL for
// anything else that is not a regular file (a pipe or a device, which could block or
// never end).
int OpenRegularFileForReading(const std::string& path, int& fd, FileIdentity& identity);

}  // namespace platform
