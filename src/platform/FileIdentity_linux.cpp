// Linux backend of a file's identity: stat(2).
#include "platform/FileIdentity.h"

#include <sys/stat.h>

namespace platform {

std::optional<FileIdentity> IdentityOfFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
                      static_cast<long long>(st.st_size),
                      static_cast<long long>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace platform
