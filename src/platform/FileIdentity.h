// What tells one version of a file from another without reading it: the file itself (its
// volume and number), its size and the time it was last written. A program that rewrites
// the file, in place or by replacing it, changes at least one of them.
#pragma once

#include <optional>
#include <string>

namespace platform {

struct FileIdentity {
  unsigned long long volume = 0;     // the device or volume holding the file
  unsigned long long file = 0;       // its number there (inode, file index)
  long long size = 0;                // bytes
  long long writtenNanoseconds = 0;  // last write, since the system's epoch
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at `path` (through symbolic links); nothing when there is no
// file there or it cannot be looked at.
std::optional<FileIdentity> IdentityOfFile(const std::string& path);

}  // namespace platform
