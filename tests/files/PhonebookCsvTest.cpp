// Phonebook documents through a real store: the layouts and the two passes (with golden
// files in data/), the refusals, and round trips of generated phonebooks.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "files/MemoryArchiveReader.h"
#include "files/PhonebookCsv.h"
#include "files/StringArchiveWriter.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"

namespace {

class PhonebookCsvTest : public ::testing::Test {
 protected:
  PhonebookCsvTest() : m_environment(StoreEnvironment::CreatePrivate()) {}

  std::unique_ptr<CDbPhoneCtrl> NewStore() { return std::make_unique<CDbPhoneCtrl>(*m_environment); }

  static int Load(CDbPhoneCtrl& store, const std::string& bytes, bool comma = true) {
    CMemoryArchiveReader reader(bytes);
    return static_cast<int>(LoadCsv(store, reader, comma).row);  // 0 when loaded
  }

  static std::string Save(CDbPhoneCtrl& store, bool comma = true) {
    CStringArchiveWriter writer;
    EXPECT_EQ(SaveCsv(store, writer, comma), StoreResult::Ok);
    return writer.Bytes();
  }

  static std::vector<PhonebookEntry> Entries(CDbPhoneCtrl& store) {
    std::vector<PhonebookEntry> entries;
    EXPECT_EQ(store.ListEntries(KanaRowAll, SortByNumber, true, entries), StoreResult::Ok);
    return entries;
  }

  std::unique_ptr<StoreEnvironment> m_environment;
};

// Each data file opened and saved comma separated gives its golden file.
class GoldenLayoutTest : public PhonebookCsvTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(GoldenLayoutTest, OpensAndSavesAsTheGoldenFile) {
  std::string name = GetParam();
  std::string input = ReadBytes(std::string(QVBOOK_TEST_DATA) + "/" + name);
  std::string stem = name.substr(0, name.rfind('.'));
  std::string expected = ReadBytes(std::string(QVBOOK_TEST_DATA) + "/" + stem + ".expected.csv");
  ASSERT_FALSE(input.empty());
  ASSERT_FALSE(expected.empty());
  auto store = NewStore();
  bool comma = name.ends_with(".csv");
  ASSERT_EQ(Load(*store, input, comma), 0);
  EXPECT_EQ(Save(*store), expected);
}

INSTANTIATE_TEST_SUITE_P(DataFiles, GoldenLayoutTest,
                         ::testing::Values("standard.csv", "namefirst.csv", "namefirst-ns.txt",
                                           "groupfirst.csv", "numbered-header.txt"),
                         [](const auto& info) {
                           std::string n = info.param;
                           for (char& c : n) if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

// Files that open with a result code, and the entries that made it in before the bad row.
struct RefusalCase {
  const char* name;
  std::string bytes;
  bool comma;
  int code;
};

class RefusalTest : public PhonebookCsvTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, FailsWithTheCode) {
  auto store = NewStore();
  EXPECT_EQ(Load(*store, GetParam().bytes, GetParam().comma), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusalTest,
    ::testing::Values(
        RefusalCase{"RepeatedNumber", "5,a\r\n5,b\r\n", true, 9},
        RefusalCase{"BlankLineGetsANumberThenFails", "1,a\r\n\r\n", true, 8},
        RefusalCase{"NumberOutOfRange", "1001,a\r\n", true, 7},
        RefusalCase{"NumberZero", "0,a\r\n", true, 7},
        RefusalCase{"NumberNotDigits", "12a,a\r\n", true, 5},
        RefusalCase{"NumberDoubleByte", "\x82\x50\x82\x51,a\r\n", true, 4},
        RefusalCase{"TabHeaderInCommaFile", "\x3B\x94\xD4\x8D\x86,a\r\n1,b\r\n", true, 4},
        RefusalCase{"CommaFileReadWithTabs", "0001,a,,1,,,1\r\n", false, 5},
        RefusalCase{"CommaMarkerInTabFile", "\x96\xBC\x91\x4F\tx\r\n", false, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PhonebookCsvTest, EntriesBeforeTheBadRowStay) {
  auto store = NewStore();
  EXPECT_EQ(Load(*store, "1,a\r\n2,b\r\n2,c\r\n3,d\r\n"), 9);
  EXPECT_EQ(Entries(*store).size(), 2u);
}

TEST_F(PhonebookCsvTest, EmptyFileIsAnEmptyPhonebookAndSavesAsNothing) {
  auto store = NewStore();
  EXPECT_EQ(Load(*store, ""), 0);
  EXPECT_EQ(store->EntryCount(), 0);
  EXPECT_EQ(Save(*store), "");
}

TEST_F(PhonebookCsvTest, UnnumberedRowsNeverTakeANumberALaterRowAsksFor) {
  auto store = NewStore();
  ASSERT_EQ(Load(*store, ",first\r\n1,one\r\n2,two\r\n"), 0);
  auto entries = Entries(*store);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[2].memoryNumber, 3);
  EXPECT_EQ(entries[2].name, "first");
}

TEST_F(PhonebookCsvTest, UnnumberedRowsAndBlankLinesAreDroppedWhenAllNumbersAreUsed) {
  std::string bytes;
  for (int n = 1; n <= 1000; ++n) bytes += std::to_string(n) + ",n\r\n";
  bytes += ",extra\r\n\r\n";
  auto store = NewStore();
  EXPECT_EQ(Load(*store, bytes), 0);
  EXPECT_EQ(store->EntryCount(), 1000);
}

TEST_F(PhonebookCsvTest, NameFirstLayoutFailsPastTheThousandthRow) {
  std::string bytes = "\x96\xBC\x91\x4F,x\r\n";  // "名前"
  for (int n = 1; n <= 1001; ++n) bytes += "name,\xB1\r\n";
  auto store = NewStore();
  EXPECT_EQ(Load(*store, bytes), 7);
  EXPECT_EQ(store->EntryCount(), 1000);
}

// A phonebook of `count` entries with double-byte names, every field used.
std::string GeneratedDocument(int count, char delimiter) {
  std::string bytes;
  const char* kanji[] = {"\x8E\x52", "\x93\x63", "\x97\xE9", "\x8D\xB2"};  // double-byte kanji
  for (int n = 1; n <= count; ++n) {
    std::string name;
    for (int i = 0; i < 1 + n % 8; ++i) name += kanji[(n + i) % 4];
    char line[256];
    std::snprintf(line, sizeof line, "%04d%c%s%c\xB1\xB2%d%c03%08d%c#%d*P%c%c%d\r\n", n, delimiter,
                  name.c_str(), delimiter, n, delimiter, n, delimiter, n, delimiter, delimiter,
                  1 + n % 9);
    bytes += line;
  }
  return bytes;
}

class RoundTripTest : public PhonebookCsvTest,
                      public ::testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(RoundTripTest, SavedPhonebookOpensAgainUnchanged) {
  auto [count, comma] = GetParam();
  std::string document = GeneratedDocument(count, comma ? ',' : '\t');
  auto first = NewStore();
  ASSERT_EQ(Load(*first, document, comma), 0);
  std::string saved = Save(*first, comma);
  EXPECT_EQ(saved, document);
  auto second = NewStore();
  ASSERT_EQ(Load(*second, saved, comma), 0);
  EXPECT_EQ(Entries(*second), Entries(*first));
  EXPECT_EQ(second->EntryCount(), count);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RoundTripTest,
                         ::testing::Combine(::testing::Values(0, 1, 999, 1000), ::testing::Bool()),
                         [](const auto& info) {
                           return std::to_string(std::get<0>(info.param)) +
                                  (std::get<1>(info.param) ? "Comma" : "Tab");
                         });

}  // namespace
