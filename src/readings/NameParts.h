// How single kanji are read inside names, learned from the dictionary's own names at build
// time (tools/nameparts): 昭 as アキ, 充 as ミツ, which the dictionary holds only inside whole
// names such as 昭夫 and 充弘. The suggester offers them as words of their own, so that a
// name the dictionary lacks can still be read piece by piece.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct NamePart {
  std::string reading;  // UTF-8 katakana
  int times = 0;        // how many of the dictionary's names it was learned from
  unsigned short leftId = 0, rightId = 0;  // the dictionary's context ids of those names
  bool surname = false;                    // learned from surnames (else given names)
};

class CNameParts {
 public:
  // Reads the learned list (kanji TAB reading TAB times TAB left id TAB right id TAB 姓 or
  // 名, one per line); false when the file cannot be read. Malformed lines are skipped, and
  // so are context ids of `contextIds` or more, which the loaded dictionary does not have
  // (the parts are learned for IPADIC; another dictionary must not read past its table).
  bool Load(const std::string& path, int contextIds = 0x10000);
  // The readings learned for the one character `kanji` (UTF-8); null when there are none.
  const std::vector<NamePart>* Find(std::string_view kanji) const;
  std::size_t Count() const { return m_count; }

 private:
  std::unordered_map<std::string, std::vector<NamePart>> m_parts;
  std::size_t m_count = 0;
};
