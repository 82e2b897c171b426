// Filling the readings of many entries at once: what the suggester proposes for each, and
// writing the chosen readings into the store as one step.
#pragma once

#include <string>
#include <vector>

#include "phonebook/PhonebookEntry.h"
#include "phonebook/StoreResult.h"

class CDbPhoneCtrl;
class CReadingSuggester;

struct ReadingProposal {
  int memoryNumber = 0;
  std::string name;                   // code page 932
  std::string currentReading;         // what the entry holds now
  std::vector<std::string> readings;  // the suggestions, best first; empty: none
};

// Proposals for the entries without a reading, or for every entry when `all`; entries
// whose name is empty are left out. At most `count` readings each.
std::vector<ReadingProposal> ProposeReadings(const std::vector<PhonebookEntry>& entries,
                                             CReadingSuggester& suggester, bool all,
                                             std::size_t count);

struct ChosenReading {
  int memoryNumber = 0;
  std::string reading;
};

// Gives each entry its chosen reading, all in one batch: either every entry changes or
// none does. A memory number no entry has is passed over. Returns the store's result.
StoreResult ApplyReadings(CDbPhoneCtrl& store, const std::vector<ChosenReading>& chosen);
