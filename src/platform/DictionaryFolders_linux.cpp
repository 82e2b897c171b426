// Linux backend of the dictionary folders: beside the program (/proc/self/exe), then the
// dictionary Debian's package compiles at install time.
#include "platform/DictionaryFolders.h"

#include <unistd.h>

#include <climits>

namespace platform {

std::vector<std::string> DictionaryFolders() {
  std::vector<std::string> folders;
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length > 0 && static_cast<std::size_t>(length) < sizeof buffer) {
    const std::string program(buffer, static_cast<std::size_t>(length));
    folders.push_back(program.substr(0, program.rfind('/') + 1) + "dic");
  }
  folders.push_back("/var/lib/mecab/dic/ipadic-utf8");
  return folders;
}

}  // namespace platform
