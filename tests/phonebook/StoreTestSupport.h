// Helpers for the store's tests: a scratch folder, a list control in memory and entry
// builders.
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

// A list control in memory, recording its rows and how it was driven.
class MemoryListControl : public IListControl {
 public:
  using Row = std::array<std::string, FieldCount>;

  bool HasWindow() const override { return m_bHasWindow; }
  void SetRedraw(bool on) override {
    m_bRedraw = on;
    ++m_nRedrawSwitches;
  }
  void DeleteAllItems() override { rows.clear(); }
  void InsertItem(int index, const std::string& text) override {
    Row row{};
    row[0] = text;
    rows.insert(rows.begin() + index, row);
    if (m_bRedraw) ++m_nInsertsWhileDrawing;
  }
  void SetItemText(int index, int column, const std::string& text) override {
    rows.at(index).at(column) = text;
  }
  void RedrawNow() override { ++m_nRedraws; }

  std::vector<int> Numbers() const {
    std::vector<int> numbers;
    for (const Row& row : rows) numbers.push_back(std::stoi(row[0]));
    return numbers;
  }

  std::vector<Row> rows;
  bool m_bHasWindow = true;
  bool m_bRedraw = true;
  int m_nRedrawSwitches = 0;
  int m_nInsertsWhileDrawing = 0;
  int m_nRedraws = 0;
};

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
    for (const PhonebookEntry& entry : entries) ASSERT_EQ(Store().AddEntry(entry), StoreOk);
    ASSERT_EQ(batch.Commit(), StoreOk);
  }

  std::vector<int> Listed(int kanaRow, int sortKey = SortByNumber, bool ascending = true) {
    MemoryListControl list;
    EXPECT_EQ(Store().FillList(list, kanaRow, sortKey, ascending), StoreOk);
    return list.Numbers();
  }
};
