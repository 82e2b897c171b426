// Rows held back until the end of a paste or an import pass, then numbered.
#include "files/DeferredEntries.h"

#include <cstdio>

#include "phonebook/DbPhoneCtrl.h"

void CDeferredEntries::Push(PhonebookEntry entry) {
  if (m_entries.size() >= kCapacity) {
    m_bOverflowed = true;
    return;
  }
  if (m_entries.empty()) m_entries.reserve(64);
  m_entries.push_back(std::move(entry));
}

bool CDeferredEntries::AddUnderFreeNumbers(CDbPhoneCtrl& store,
                                           std::vector<std::string>* addedNumbers) {
  bool allAdded = true;
  for (PhonebookEntry& entry : m_entries) {
    const int number = store.GetFreeMemoryNumber();
    if (number == 0) {
      allAdded = false;
      break;
    }
    entry.memoryNumber = number;
    store.AddEntry(entry);
    if (addedNumbers) addedNumbers->push_back(MemoryNumberText(number));
  }
  // A dropped row would have asked for one more number after the kept ones.
  if (allAdded && m_bOverflowed && store.GetFreeMemoryNumber() == 0) allAdded = false;
  Clear();
  return allAdded;
}

void CDeferredEntries::Clear() {
  m_entries.clear();
  m_bOverflowed = false;
}

std::string MemoryNumberText(int memoryNumber) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", memoryNumber);
  return text;
}
