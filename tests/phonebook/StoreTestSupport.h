// Helpers for the store's tests: a scratch folder, a list's rows and entry builders.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/PrivateFolder.h"
#include "../files/TestFiles.h"

// A scratch folder (removed with everything in it), with its paths as plain texts.
class ScratchFolder {
 public:
  const std::string& Path() const { return m_strPath; }
  std::string File(const std::string& name) const { return m_folder / name; }

 private:
  TempFolder m_folder;
  std::string m_strPath = m_folder.Path().string();
};

// A list's rows as the store lists them: each entry's seven texts, in the order asked.
using ListRow = std::array<std::string, FieldCount>;

inline StoreResult ListRows(CDbPhoneCtrl& store, int kanaRow, int sortKey, bool ascending,
                            std::vector<ListRow>& rows) {
  std::vector<PhonebookEntry> entries;
  const StoreResult result = store.ListEntries(kanaRow, sortKey, ascending, entries);
  rows.clear();
  for (const PhonebookEntry& entry : entries) rows.push_back(EntryToTexts(entry));
  return result;
}

inline PhonebookEntry MakeEntry(int number, std::string reading, std::string name = "Name",
                                int group = 1) {
  PhonebookEntry entry;
  entry.memoryNumber = number;
  entry.name = std::move(name);
  entry.reading = std::move(reading);
  entry.phone1 = "0312345678";
  entry.group = group;
  return entry;
}

// A store in an environment of its own, over a scratch folder.
class StoreTest : public ::testing::Test {
 protected:
  ScratchFolder m_folder;
  std::unique_ptr<StoreEnvironment> m_pEnvironment = StoreEnvironment::CreateShared(m_folder.Path());
  std::unique_ptr<CDbPhoneCtrl> m_pStore = std::make_unique<CDbPhoneCtrl>(*m_pEnvironment);

  CDbPhoneCtrl& Store() { return *m_pStore; }

  void AddAll(const std::vector<PhonebookEntry>& entries) {
    CDbPhoneCtrl::Batch batch(Store());
    for (const PhonebookEntry& entry : entries) ASSERT_EQ(Store().AddEntry(entry), StoreResult::Ok);
    ASSERT_EQ(batch.Commit(), StoreResult::Ok);
  }

  std::vector<int> Listed(int kanaRow, int sortKey = SortByNumber, bool ascending = true) {
    std::vector<PhonebookEntry> entries;
    EXPECT_EQ(Store().ListEntries(kanaRow, sortKey, ascending, entries), StoreResult::Ok);
    std::vector<int> numbers;
    for (const PhonebookEntry& entry : entries) numbers.push_back(entry.memoryNumber);
    return numbers;
  }
};
