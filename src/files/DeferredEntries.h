// Rows of a paste or an import that must go under another memory number: they are kept
// in arrival order and added under the lowest free numbers once every other row is in,
// so they never take a number that a later row asks for.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "phonebook/PhonebookEntry.h"

class CDbPhoneCtrl;

class CDeferredEntries {
 public:
  // Room for as many rows as a phonebook holds. While one deferred row holds a number in
  // use at most 999 numbers are free, and 1000 kept rows fill any phonebook, so a row
  // beyond the capacity could never be added: it is dropped and only remembered.
  static constexpr std::size_t kCapacity = kMaxEntries;

  void Push(PhonebookEntry entry);

  enum class Outcome { AllAdded, NumbersRanOut, StoreFailed };

  // Adds the kept rows in order, each under the number GetFreeMemoryNumber gives.
  // NumbersRanOut when the numbers ran out before every row (dropped ones included) was
  // in; the rows not added are given up. StoreFailed when the store refused a row (the
  // caller's batch then rolls back). The list is empty afterwards.
  // `addedNumbers`, when given, receives the numbers used as "%04d" texts.
  [[nodiscard]] Outcome AddUnderFreeNumbers(CDbPhoneCtrl& store,
                                            std::vector<std::string>* addedNumbers = nullptr);

  std::size_t size() const { return m_entries.size(); }
  bool empty() const { return m_entries.empty() && !m_bOverflowed; }
  void Clear();

 private:
  std::vector<PhonebookEntry> m_entries;  // rows in arrival order
  bool m_bOverflowed = false;             // a row came when the list was full
};

// The text form of a memory number: four digits with leading zeros.
std::string MemoryNumberText(int memoryNumber);
