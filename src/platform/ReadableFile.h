// Opening a regular file for reading as a C runtime file descriptor, in binary mode on
// every system (Windows would otherwise turn "\r\n" into "\n" while reading).
#pragma once

#include <string>

namespace platform {

// Opens `path` for reading. Returns 0 and sets `fd` (for read, lseek and close) and `size`;
// otherwise the errno of the failure: EISDIR for a folder, EINVAL for anything else that is
// not a regular file (a pipe or a device, which could block or never end).
int OpenRegularFileForReading(const std::string& path, int& fd, long long& size);

}  // namespace platform
