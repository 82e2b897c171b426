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

CDeferredEntries::Outcome CDeferredEntries::AddUnderFreeNumbers(
    CDbPhoneCtrl& store, std::vector<std::string>* addedNumbers) {
  Outcome outcome = Outcome::AllAdded;
  for (PhonebookEntry& entry : m_entries) {
    const int number = store.GetFreeMemoryNumber();
    if (number == 0) {
      outcome = Outcome::NumbersRanOut;
      break;
    }
    entry.memoryNumber = number;
    if (store.AddEntry(entry) != StoreResult::Ok) {
      outcome = Outcome::StoreFailed;
      break;
    }
    if (addedNumbers) addedNumbers->push_back(MemoryNumberText(number));
  }
  // A dropped row would have asked for one more number after the kept ones.
  if (outcome == Outcome::AllAdded && m_bOverflowed && store.GetFreeMemoryNumber() == 0)
    outcome = Outcome::NumbersRanOut;
  Clear();
  return outcome;
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
