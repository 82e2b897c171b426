// A phonebook filled to its 1000 entries, the way a user's looks: kanji names, readings
// spread over every kana row, phone numbers and groups. Shared by the benchmarks and the
// file that the Windows smoke run opens.
#pragma once

#include <string>
#include <vector>

#include "phonebook/PhonebookEntry.h"

inline std::vector<PhonebookEntry> FullPhonebook() {
  std::vector<PhonebookEntry> entries;
  for (int n = 1; n <= kMaxEntries; ++n) {
    PhonebookEntry entry;
    entry.memoryNumber = n;
    entry.name = "\x8E\x52\x93\x63" + std::to_string(n);  // 山田 + n
    entry.reading = std::string(1, static_cast<char>(0xB1 + n % 45)) + "\xCF\xC0\xDE";
    entry.phone1 = "090" + std::to_string(10000000 + n);
    entry.group = 1 + n % 9;
    entries.push_back(entry);
  }
  return entries;
}
