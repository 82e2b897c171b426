// Where the reading dictionary (MeCab's IPADIC, compiled for UTF-8) may be found on this
// system, in the order to try: a "dic" folder beside the program (where the Windows zip
// puts it) and, on Linux, the folder Debian's mecab-ipadic-utf8 fills. Paths are UTF-8,
// which is what MeCab takes on both systems.
#pragma once

#include <string>
#include <vector>

namespace platform {

std::vector<std::string> DictionaryFolders();

}  // namespace platform
