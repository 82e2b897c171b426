// Model-based test of the phonebook store: thousands of random sequences of operations run
// against a real store and against a plain in-memory model; every result, every listing
// (by kana row and in every order) and the numbers in use must agree after every step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

#include "../phonebook/StoreTestSupport.h"
#include "phonebook/EntryRules.h"
#include "phonebook/ReadingOrder.h"

namespace {

// The kana row of a reading by its first byte, written out from the tab table: the
// store's filters and the list view's tabs must both give exactly these rows.
int ModelKanaRow(const std::string& reading) {
  if (reading.empty()) return KanaRowOther;
  const auto b = static_cast<unsigned char>(reading[0]);
  if ((b >= 0xB1 && b <= 0xB5) || (b >= 0xA7 && b <= 0xAB)) return 0;  // ｱ..ｵ ｧ..ｫ
  if (b >= 0xB6 && b <= 0xBA) return 1;                               // ｶ..ｺ
  if (b >= 0xBB && b <= 0xBF) return 2;                               // ｻ..ｿ
  if ((b >= 0xC0 && b <= 0xC4) || b == 0xAF) return 3;                // ﾀ..ﾄ ｯ
  if (b >= 0xC5 && b <= 0xC9) return 4;                               // ﾅ..ﾉ
  if (b >= 0xCA && b <= 0xCE) return 5;                               // ﾊ..ﾎ
  if (b >= 0xCF && b <= 0xD3) return 6;                               // ﾏ..ﾓ
  if ((b >= 0xD4 && b <= 0xD6) || (b >= 0xAC && b <= 0xAE)) return 7;  // ﾔ..ﾖ ｬ..ｮ
  if (b >= 0xD7 && b <= 0xDB) return 8;                               // ﾗ..ﾛ
  if (b == 0xDC || b == 0xA6 || b == 0xDD) return 9;                  // ﾜ ｦ ﾝ
  return KanaRowOther;
}

std::string ListText(int value, const char* format) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

class Model {
 public:
  std::map<int, PhonebookEntry> entries;

  int FreeNumber() const {
    for (int n = 1; n <= kMaxEntries; ++n)
      if (!entries.count(n)) return n;
    return 0;
  }
  std::vector<PhonebookEntry> Row(int kanaRow) const {
    std::vector<PhonebookEntry> row;
    for (const auto& [number, entry] : entries)
      if (kanaRow == KanaRowAll || ModelKanaRow(entry.reading) == kanaRow) row.push_back(entry);
    return row;
  }
};

// Whether `a` may come before `b` in a listing ordered by `sortKey` (ties allowed where
// the order leaves them open).
bool InOrder(const PhonebookEntry& a, const PhonebookEntry& b, int sortKey, bool ascending) {
  const auto compare = [&](int difference) { return ascending ? difference <= 0 : difference >= 0; };
  switch (sortKey) {
    case SortByNumber: return ascending ? a.memoryNumber < b.memoryNumber : a.memoryNumber > b.memoryNumber;
    case SortByName: return compare(a.name.compare(b.name) < 0 ? -1 : a.name == b.name ? 0 : 1);
    case SortByReading: {
      const int byReading = CompareReadings(a.reading, b.reading);
      if (byReading != 0) return compare(byReading);
      return ascending ? a.memoryNumber < b.memoryNumber : a.memoryNumber > b.memoryNumber;
    }
    case SortByGroup: return compare(a.group - b.group);
    default: return true;  // phone columns: the engine's own order
  }
}

class StoreModelRun : public StoreTest {
 protected:
  std::mt19937 m_random;
  Model m_model;

  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

  std::string RandomReading() {
    // Bytes on both sides of every row's bounds, letters, digits, marks and the empty reading.
    static const std::string kFirsts =
        "\xA6\xA7\xAB\xAC\xAE\xAF\xB0\xB1\xB5\xB6\xBA\xBB\xBF\xC0\xC4\xC5\xC9\xCA\xCE\xCF"
        "\xD3\xD4\xD6\xD7\xDB\xDC\xDD\xDE\xDF\xA1 0A9az~";
    std::string reading;
    const int length = Uniform(0, 4);
    for (int i = 0; i < length; ++i) reading.push_back(kFirsts[Uniform(0, kFirsts.size() - 1)]);
    return reading;
  }

  PhonebookEntry RandomEntry(int number) {
    static const char* kNames[] = {"", "A", "a", "B", "\x8E\x52\x93\x63", "\x8E\x52", "Zz", "b"};
    PhonebookEntry entry;
    entry.memoryNumber = number;
    entry.name = kNames[Uniform(0, 7)];
    entry.reading = RandomReading();
    entry.phone1 = std::to_string(Uniform(0, 99));
    entry.phone3 = Uniform(0, 3) == 0 ? "#*P" : "";
    entry.group = Uniform(1, 9);
    return entry;
  }

  int RandomNumber() { return Uniform(0, 9) == 0 ? Uniform(0, kMaxEntries + 1) : Uniform(1, 40); }

  void Add() {
    // The caller's contract: only free numbers are added, found by GetFreeMemoryNumber or
    // checked against usedFlags.
    int number = Uniform(0, 1) ? Store().GetFreeMemoryNumber() : RandomNumber();
    if (number < 1 || number > kMaxEntries || Store().usedFlags()[number - 1]) return;
    const PhonebookEntry entry = RandomEntry(number);
    ASSERT_EQ(Store().AddEntry(entry), StoreResult::Ok);
    m_model.entries[number] = entry;
  }

  void FillUp() {  // adds entries up to (nearly) all 1000 numbers in one batch
    CDbPhoneCtrl::Batch batch(Store());
    const int target = Uniform(0, 1) ? kMaxEntries : Uniform(900, kMaxEntries);
    while (static_cast<int>(m_model.entries.size()) < target) {
      const int number = Store().GetFreeMemoryNumber();
      ASSERT_EQ(number, m_model.FreeNumber());
      const PhonebookEntry entry = RandomEntry(number);
      ASSERT_EQ(Store().AddEntry(entry), StoreResult::Ok);
      m_model.entries[number] = entry;
    }
    ASSERT_EQ(batch.Commit(), StoreResult::Ok);
  }

  void Find() {
    const int number = RandomNumber();
    PhonebookEntry target = MakeEntry(4321, "sentinel");
    const PhonebookEntry before = target;
    ASSERT_EQ(Store().FindEntry(number, target), StoreResult::Ok);
    auto found = m_model.entries.find(number);
    EXPECT_EQ(target, found == m_model.entries.end() ? before : found->second) << number;
  }

  void Delete() {
    const int number = RandomNumber();
    ASSERT_EQ(Store().DeleteEntry(number), StoreResult::Ok);
    m_model.entries.erase(number);
  }

  void DeleteByRow() {
    const int kanaRow = Uniform(0, KanaRowAll);
    std::vector<std::string> texts;
    const int count = Uniform(0, 6);
    for (int i = 0; i < count; ++i)
      texts.push_back(ListText(RandomNumber(), Uniform(0, 1) ? "%04d" : "%d"));
    // Expected: rows in number order, each taking the first text of its number.
    std::vector<std::string> remaining = texts;
    for (const PhonebookEntry& entry : m_model.Row(kanaRow)) {
      auto text = std::find_if(remaining.begin(), remaining.end(), [&](const std::string& t) {
        return std::stoi(t) == entry.memoryNumber;
      });
      if (text == remaining.end()) continue;
      remaining.erase(text);
      m_model.entries.erase(entry.memoryNumber);
    }
    ASSERT_EQ(Store().DeleteEntries(kanaRow, texts), StoreResult::Ok);
    EXPECT_EQ(texts, remaining) << "row " << kanaRow;
  }

  void DeleteAll() {
    ASSERT_EQ(Store().DeleteAll(), StoreResult::Ok);
    m_model.entries.clear();
  }

  void Fill() {
    static const int kKeys[] = {SortByNumber, SortByName, SortByReading, 3, 4, 5, SortByGroup};
    const int kanaRow = Uniform(0, KanaRowAll);
    const int sortKey = kKeys[Uniform(0, 6)];
    const bool ascending = Uniform(0, 1);
    std::vector<ListRow> rows;
    ASSERT_EQ(ListRows(Store(), kanaRow, sortKey, ascending, rows), StoreResult::Ok);
    const std::vector<PhonebookEntry> expected = m_model.Row(kanaRow);
    ASSERT_EQ(rows.size(), expected.size()) << "row " << kanaRow;
    std::vector<PhonebookEntry> listed;
    for (const ListRow& row : rows) {
      auto entry = m_model.entries.find(std::stoi(row[0]));
      ASSERT_NE(entry, m_model.entries.end());
      const PhonebookEntry& e = entry->second;
      const ListRow texts = {ListText(e.memoryNumber, "%04d"), e.name, e.reading,
                                            e.phone1, e.phone2, e.phone3, ListText(e.group, "%d")};
      EXPECT_EQ(row, texts);
      listed.push_back(e);
    }
    for (std::size_t i = 1; i < listed.size(); ++i) {
      EXPECT_TRUE(InOrder(listed[i - 1], listed[i], sortKey, ascending))
          << "row " << kanaRow << " key " << sortKey << " asc " << ascending << " at " << i;
    }
    std::vector<int> numbers;
    for (const PhonebookEntry& e : listed) numbers.push_back(e.memoryNumber);
    std::sort(numbers.begin(), numbers.end());
    std::vector<int> expectedNumbers;
    for (const PhonebookEntry& e : expected) expectedNumbers.push_back(e.memoryNumber);
    EXPECT_EQ(numbers, expectedNumbers);
  }

  void CheckNumbersInUse() {
    ASSERT_EQ(Store().GetFreeMemoryNumber(), m_model.FreeNumber());
    ASSERT_EQ(Store().EntryCount(), static_cast<int>(m_model.entries.size()));
    for (int n = 1; n <= kMaxEntries; ++n)
      ASSERT_EQ(Store().usedFlags()[n - 1] != 0, m_model.entries.count(n) == 1) << n;
  }

  void RunSequence(unsigned seed, int steps) {
    m_random.seed(seed);
    m_model.entries.clear();
    ASSERT_EQ(Store().DeleteAll(), StoreResult::Ok);
    for (int step = 0; step < steps && !HasFailure(); ++step) {
      const int pick = Uniform(0, 199);
      if (pick < 70) Add();
      else if (pick < 100) Find();
      else if (pick < 120) Delete();
      else if (pick < 140) DeleteByRow();
      else if (pick < 144) DeleteAll();
      else if (pick < 145) FillUp();
      else Fill();
      CheckNumbersInUse();
    }
    std::vector<PhonebookEntry> all;
    ASSERT_EQ(Store().ListEntries(KanaRowAll, SortByNumber, true, all), StoreResult::Ok);
    std::vector<PhonebookEntry> expected;
    for (const auto& [number, entry] : m_model.entries) expected.push_back(entry);
    EXPECT_EQ(all, expected) << "seed " << seed;
  }
};

// Each operation opens and closes the database file, as the editor runs them.
TEST_F(StoreModelRun, RandomSequencesAgreeWithTheModel) {
  for (unsigned seed = 1; seed <= 1000 && !HasFailure(); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RunSequence(seed, 30);
  }
}

// The same inside one batch, as loading, pasting and importing run them.
TEST_F(StoreModelRun, RandomSequencesInOneBatchAgreeWithTheModel) {
  for (unsigned seed = 10001; seed <= 11000 && !HasFailure(); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    CDbPhoneCtrl::Batch batch(Store());
    RunSequence(seed, 30);
    ASSERT_EQ(batch.Commit(), StoreResult::Ok);
  }
}

}  // namespace
