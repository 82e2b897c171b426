// The store's operations on a real SQLite file: adding, finding, deleting, kana rows and
// orders, and what happens when the engine fails.
#include "phonebook/DbPhoneCtrl.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <fstream>

#include "Cp932Samples.h"
#include "StoreTestSupport.h"

using namespace cp932;

namespace {

using DbPhoneCtrlTest = StoreTest;

TEST_F(DbPhoneCtrlTest, FreeMemoryNumberIsTheLowestUnused) {
  EXPECT_EQ(Store().GetFreeMemoryNumber(), 1);
  AddAll({MakeEntry(1, "A"), MakeEntry(2, "B"), MakeEntry(4, "C")});
  EXPECT_EQ(Store().GetFreeMemoryNumber(), 3);
  EXPECT_EQ(Store().EntryCount(), 3);

  std::vector<PhonebookEntry> rest;
  for (int n = 1; n <= kMaxEntries; ++n)
    if (n != 1 && n != 2 && n != 4) rest.push_back(MakeEntry(n, "X"));
  AddAll(rest);
  EXPECT_EQ(Store().GetFreeMemoryNumber(), 0);
  EXPECT_EQ(Store().EntryCount(), kMaxEntries);
}

TEST_F(DbPhoneCtrlTest, FindEntryReturnsTheStoredBytes) {
  // Every byte value a text may carry survives the database unchanged.
  std::string allBytes;
  for (int byte = 1; byte < 256; ++byte) allBytes += static_cast<char>(byte);
  const PhonebookEntry stored{12, kYama + kDa, "\xD4\xCF", "", allBytes, "12#*P", 9};
  ASSERT_EQ(Store().AddEntry(stored), StoreResult::Ok);

  PhonebookEntry found;
  ASSERT_EQ(Store().FindEntry(12, found), StoreResult::Ok);
  EXPECT_EQ(found, stored);
}

TEST_F(DbPhoneCtrlTest, FindEntryLeavesTargetAloneWhenAbsent) {
  ASSERT_EQ(Store().AddEntry(MakeEntry(1, "A")), StoreResult::Ok);
  const PhonebookEntry sentinel{77, "keep", "KEEP", "1", "2", "3", 4};
  PhonebookEntry target = sentinel;
  EXPECT_EQ(Store().FindEntry(2, target), StoreResult::Ok);
  EXPECT_EQ(target, sentinel);
}

TEST_F(DbPhoneCtrlTest, ListingGivesTheSevenColumnsOfAList) {
  AddAll({MakeEntry(3, kYamada, kYama + kDa, 7)});
  std::vector<ListRow> rows;
  ASSERT_EQ(ListRows(Store(), KanaRowAll, SortByNumber, true, rows), StoreResult::Ok);
  ASSERT_EQ(rows.size(), 1u);
  const ListRow expected{"0003", kYama + kDa, kYamada, "0312345678", "", "", "7"};
  EXPECT_EQ(rows[0], expected);
}

// Readings of the kana-row examples, numbered in order.
class KanaRowListing : public StoreTest {
 protected:
  void SetUp() override {
    const char* readings[] = {
        "\xCF\xC2\xC0\xDE",  // 1 ﾏﾂﾀﾞ
        "\xD3\xD8",          // 2 ﾓﾘ
        "\xD4\xCF\xC0\xDE",  // 3 ﾔﾏﾀﾞ
        "\xAC",              // 4 ｬ
        "\xAC\xAF\xB8",      // 5 ｬｯｸ
        "\xDC\xC0\xDE",      // 6 ﾜﾀﾞ
        "\xA6",              // 7 ｦ
        "\xDD\xBA\xDE",      // 8 ﾝｺﾞ
        "",                  // 9 empty
        "ABC",               // 10
        "\xB6\xC4\xB3",      // 11 ｶﾄｳ
        "\xA7",              // 12 small ｧ
        "\xAF\xC0",          // 13 small ｯ
        "\xB0\xB1",          // 14 ｰｱ
        "\xDE",              // 15 voiced mark
    };
    std::vector<PhonebookEntry> entries;
    for (int i = 0; i < static_cast<int>(std::size(readings)); ++i)
      entries.push_back(MakeEntry(i + 1, readings[i]));
    AddAll(entries);
  }
};

TEST_F(KanaRowListing, RowsHoldTheReadingsOfTheirTab) {
  EXPECT_EQ(Listed(0), (std::vector<int>{12}));
  EXPECT_EQ(Listed(1), (std::vector<int>{11}));
  EXPECT_EQ(Listed(2), (std::vector<int>{}));
  EXPECT_EQ(Listed(3), (std::vector<int>{13}));
  EXPECT_EQ(Listed(6), (std::vector<int>{1, 2}));
  EXPECT_EQ(Listed(7), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(Listed(9), (std::vector<int>{6, 7, 8}));
  EXPECT_EQ(Listed(10), (std::vector<int>{9, 10, 14, 15}));
  EXPECT_EQ(Listed(KanaRowAll).size(), 15u);
}

TEST_F(DbPhoneCtrlTest, EveryFirstByteIsListedUnderTheRowTheViewPicks) {
  std::vector<PhonebookEntry> entries;
  for (int byte = 0x20; byte <= 0xDF; ++byte)
    entries.push_back(MakeEntry(byte, std::string(1, static_cast<char>(byte)) + "\xB1"));
  AddAll(entries);
  for (int row = 0; row <= KanaRowOther; ++row) {
    std::vector<int> expected;
    for (const PhonebookEntry& entry : entries)
      if (KanaRowOfFirstByte(entry.reading) == row) expected.push_back(entry.memoryNumber);
    EXPECT_EQ(Listed(row), expected) << "row " << row;
  }
}

TEST_F(DbPhoneCtrlTest, ReadingOrderFollowsTheViewsComparison) {
  const std::vector<std::string> readings = {
      "\xDD", "\xA6", "\xDC", "\xB1", "\xB6\xDE", "\xB6", "\xB6\xB1", "\xA7",
      "a",    "A",    "0",    " ",    "",         "\xB0", "\xB6",     "~"};
  std::vector<PhonebookEntry> entries;
  for (int i = 0; i < static_cast<int>(readings.size()); ++i)
    entries.push_back(MakeEntry(i + 1, readings[i]));
  AddAll(entries);

  std::vector<PhonebookEntry> sorted = entries;
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
    const int order = CompareReadings(a.reading, b.reading);
    return order != 0 ? order < 0 : a.memoryNumber < b.memoryNumber;
  });
  std::vector<int> ascending;
  for (const PhonebookEntry& entry : sorted) ascending.push_back(entry.memoryNumber);
  EXPECT_EQ(Listed(KanaRowAll, SortByReading, true), ascending);
  std::reverse(ascending.begin(), ascending.end());
  EXPECT_EQ(Listed(KanaRowAll, SortByReading, false), ascending);
}

TEST_F(DbPhoneCtrlTest, NumberNameAndGroupOrders) {
  AddAll({MakeEntry(2, "A", "b", 3), MakeEntry(10, "A", "a", 1), MakeEntry(1, "A", "c", 2)});
  EXPECT_EQ(Listed(KanaRowOther, SortByNumber, true), (std::vector<int>{1, 2, 10}));
  EXPECT_EQ(Listed(KanaRowOther, SortByNumber, false), (std::vector<int>{10, 2, 1}));
  EXPECT_EQ(Listed(KanaRowOther, SortByName, true), (std::vector<int>{10, 2, 1}));
  EXPECT_EQ(Listed(KanaRowOther, SortByGroup, false), (std::vector<int>{2, 1, 10}));
  std::vector<int> phoneOrder = Listed(KanaRowOther, 4, true);
  std::sort(phoneOrder.begin(), phoneOrder.end());
  EXPECT_EQ(phoneOrder, (std::vector<int>{1, 2, 10}));
}

TEST(BuildQuery, StatementsOfTheListing) {
  EXPECT_EQ(BuildQuery(KanaRowAll, SortByNumber, true),
            "select * from PHONEBOOK order by MEMORYNUMBER asc");
  EXPECT_EQ(BuildQuery(KanaRowAll, 3, true), "select * from PHONEBOOK");
  const std::string rowThree = BuildQuery(3, 4, true);
  EXPECT_NE(rowThree.find("where"), std::string::npos);
  EXPECT_EQ(rowThree.find("order by"), std::string::npos);
  EXPECT_NE(BuildQuery(2, SortByReading, false).find("desc"), std::string::npos);
}

TEST_F(DbPhoneCtrlTest, DeleteEntriesOnlyWithinTheRow) {
  AddAll({MakeEntry(7, "\xB6\xC4\xB3"), MakeEntry(9, "\xBB\xC4\xB3")});  // ｶﾄｳ, ｻﾄｳ
  std::vector<std::string> numbers = {"0007", "0009"};
  ASSERT_EQ(Store().DeleteEntries(1, numbers), StoreResult::Ok);
  EXPECT_EQ(numbers, (std::vector<std::string>{"0009"}));
  EXPECT_EQ(Listed(KanaRowAll), (std::vector<int>{9}));
  EXPECT_EQ(Store().usedFlags()[7 - 1], 0);
  EXPECT_NE(Store().usedFlags()[9 - 1], 0);
  EXPECT_EQ(Store().GetFreeMemoryNumber(), 1);
}

TEST_F(DbPhoneCtrlTest, DeleteEntryAndDeleteAllClearTheirFlags) {
  AddAll({MakeEntry(1, "A"), MakeEntry(2, "B"), MakeEntry(3, "C")});
  ASSERT_EQ(Store().DeleteEntry(2), StoreResult::Ok);
  ASSERT_EQ(Store().DeleteEntry(999), StoreResult::Ok);
  EXPECT_EQ(Store().GetFreeMemoryNumber(), 2);
  EXPECT_EQ(Listed(KanaRowAll), (std::vector<int>{1, 3}));
  ASSERT_EQ(Store().DeleteAll(), StoreResult::Ok);
  EXPECT_EQ(Listed(KanaRowAll), (std::vector<int>{}));
  EXPECT_EQ(Store().EntryCount(), 0);
}

TEST_F(DbPhoneCtrlTest, NumbersOutsideTheRangeNeverTouchTheFlags) {
  ASSERT_EQ(Store().DeleteEntry(0), StoreResult::Ok);
  ASSERT_EQ(Store().DeleteEntry(1001), StoreResult::Ok);
  ASSERT_EQ(Store().AddEntry(MakeEntry(5000, "A")), StoreResult::Ok);
  EXPECT_EQ(Store().EntryCount(), 0);
}

TEST_F(DbPhoneCtrlTest, TheFileIsClosedBetweenOperationsAndHeldDuringABatch) {
  ASSERT_EQ(Store().AddEntry(MakeEntry(1, "A")), StoreResult::Ok);
  auto countFromOutside = [&](int& count) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(Store().DatabasePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(db, "select count(*) from PHONEBOOK", -1, &statement, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) count = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rc;
  };
  int count = -1;
  EXPECT_EQ(countFromOutside(count), SQLITE_ROW);
  EXPECT_EQ(count, 1);
  {
    CDbPhoneCtrl::Batch batch(Store());
    ASSERT_EQ(Store().AddEntry(MakeEntry(2, "B")), StoreResult::Ok);
    EXPECT_NE(countFromOutside(count), SQLITE_ROW);
    ASSERT_EQ(batch.Commit(), StoreResult::Ok);
  }
  EXPECT_EQ(countFromOutside(count), SQLITE_ROW);
  EXPECT_EQ(count, 2);
}

TEST_F(DbPhoneCtrlTest, AnUnreadableDatabaseGivesCodeTwoNotACrash) {
  ASSERT_EQ(Store().AddEntry(MakeEntry(1, "A")), StoreResult::Ok);
  {
    std::ofstream garbage(Store().DatabasePath(), std::ios::binary | std::ios::trunc);
    garbage << std::string(8192, 'x');
  }
  EXPECT_EQ(Store().AddEntry(MakeEntry(2, "B")), StoreResult::CreateFailed);
  EXPECT_EQ(Store().usedFlags()[2 - 1], 0);
  PhonebookEntry target;
  EXPECT_EQ(Store().FindEntry(1, target), StoreResult::CreateFailed);
  std::vector<PhonebookEntry> entries;
  EXPECT_EQ(Store().ListEntries(KanaRowAll, SortByNumber, true, entries), StoreResult::CreateFailed);
}

}  // namespace
