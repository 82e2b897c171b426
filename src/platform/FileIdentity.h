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

  bool SameFile(const FileIdentity& other) const { return volume == other.volume && file == other.file; }
  bool SameContent(const FileIdentity& other) const {
    return size == other.size && writtenNanoseconds == other.writtenNanoseconds;
  }
};

// The identity of the open file `fd` (a C runtime descriptor), and of the file `path` names
// now (through symbolic links); 0 or the errno.
int IdentityOfOpenFile(int fd, FileIdentity& identity);
int IdentityOfPath(const std::string& path, FileIdentity& identity);

// The same as a value: nothing when there is no file at `path` or it cannot be looked at.
inline std::optional<FileIdentity> IdentityOfFile(const std::string& path) {
  FileIdentity identity;
  if (IdentityOfPath(path, identity) != 0) return std::nullopt;
  return identity;
}

}  // namespace platform
