// The CSV import over real files: the two passes, every duplicate answer, the continue
// flag, the limit, and files of any bytes.
#include <gtest/gtest.h>

#include <random>

#include "ExchangeTestSupport.h"
#include "files/CsvImport.h"

namespace {

class CsvImportTest : public ExchangeTest {
 protected:
  ImportSummary Import(const std::string& bytes, IDuplicateResolver& resolver) {
    return ImportCsvFile(store, WriteFile("import.csv", bytes), resolver);
  }
  ImportSummary Import(const std::string& bytes, DuplicateMethod fixedMethod = DuplicateMethod::Skip) {
    CFixedDuplicateResolver resolver(fixedMethod);
    return Import(bytes, resolver);
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& e : Entries()) names.push_back(MemoryNumberText(e.memoryNumber) + e.name);
    return names;
  }
  static std::string MemoryNumberText(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%04d:", n);
    return text;
  }
};

const char kThreeRows[] =
    "0001,a,\xB1,111,,,2\r\n"
    "0003,b,\xB2,333,,,3\r\n"
    "0005,\"c,\"\"q\"\"\",\xB3,555,,,4\r\n";

TEST_F(CsvImportTest, FileOfThisProgramIntoEmptyPhonebookGivesItsEntries) {
  const auto summary = Import(kThreeRows);
  EXPECT_EQ(summary.result, ImportResult::Finished);
  EXPECT_EQ(summary.added, 3);
  EXPECT_EQ(Names(), (std::vector<std::string>{"0001:a", "0003:b", "0005:c,\"q\""}));
  EXPECT_EQ(Stored(5).group, 4);
}

TEST_F(CsvImportTest, EachAnswerTreatsADuplicateAsChosen) {
  EXPECT_EQ(store.AddEntry(Entry(3, "old", "\xB9", "999", 7)), StoreResult::Ok);

  struct Case {
    DuplicateMethod method;
    std::vector<std::string> names;
  };
  for (const Case& c : {Case{DuplicateMethod::Overwrite, {"0001:a", "0003:b", "0005:c,\"q\""}},
                        Case{DuplicateMethod::AddOther, {"0001:a", "0002:b", "0003:old", "0005:c,\"q\""}},
                        Case{DuplicateMethod::Skip, {"0001:a", "0003:old", "0005:c,\"q\""}}}) {
    SCOPED_TRACE(static_cast<int>(c.method));
    ScriptedResolver resolver({{c.method, false}});
    EXPECT_EQ(Import(kThreeRows, resolver).result, ImportResult::Finished);
    EXPECT_EQ(Names(), c.names);
    ASSERT_EQ(resolver.questions.size(), 1u);
    // The question shows the row after the field rules and the stored entry.
    EXPECT_EQ(resolver.questions[0].number, 3);
    EXPECT_EQ(resolver.questions[0].fields[1], "b");
    EXPECT_EQ(resolver.questions[0].stored, Entry(3, "old", "\xB9", "999", 7));
    if (c.method == DuplicateMethod::Overwrite) {
      EXPECT_EQ(Stored(3), Entry(3, "b", "\xB2", "333", 3));  // group included
    }
    EXPECT_EQ(store.DeleteAll(), StoreResult::Ok);
    EXPECT_EQ(store.AddEntry(Entry(3, "old", "\xB9", "999", 7)), StoreResult::Ok);
  }
}

TEST_F(CsvImportTest, ContinueFlagAnswersEveryLaterDuplicateWithoutAsking) {
  Fill(1, 5);
  ScriptedResolver resolver({{DuplicateMethod::AddOther, true}, {DuplicateMethod::Skip, false}});
  const auto summary = Import(kThreeRows, resolver);
  EXPECT_EQ(resolver.questions.size(), 1u);
  EXPECT_EQ(summary.added, 3);
  // Added under the lowest free numbers, in file order, at the end of pass 1.
  EXPECT_EQ(Stored(6).name, "a");
  EXPECT_EQ(Stored(7).name, "b");
  EXPECT_EQ(Stored(8).name, "c,\"q\"");
}

TEST_F(CsvImportTest, WithoutContinueFlagEveryDuplicateIsAsked) {
  Fill(1, 5);
  ScriptedResolver resolver({{DuplicateMethod::Skip, false}, {DuplicateMethod::Overwrite, false},
                             {DuplicateMethod::AddOther, false}});
  Import(kThreeRows, resolver);
  ASSERT_EQ(resolver.questions.size(), 3u);
  EXPECT_EQ(resolver.questions[2].number, 5);
  EXPECT_EQ(Stored(1).name, "n1");
  EXPECT_EQ(Stored(3).name, "b");
  EXPECT_EQ(Stored(5).name, "n5");
  EXPECT_EQ(Stored(6).name, "c,\"q\"");
}

TEST_F(CsvImportTest, UnnumberedRowsFollowNumberedAndDeferredRowsInPassTwo) {
  EXPECT_EQ(store.AddEntry(Entry(1, "old")), StoreResult::Ok);
  const auto summary = Import(
      ",first,,1\r\n"
      "0001,dup,,1\r\n"
      "0002,two,,1\r\n"
      ",second,,1\r\n",
      DuplicateMethod::AddOther);
  EXPECT_EQ(summary.result, ImportResult::Finished);
  EXPECT_EQ(Names(), (std::vector<std::string>{"0001:old", "0002:two", "0003:dup",
                                               "0004:first", "0005:second"}));
}

TEST_F(CsvImportTest, TabSeparatedFileImportsNothingButFinishes) {
  const auto summary = Import("0001\ta\t\xB1\t111\t\t\t2\r\n0002\tb\t\xB2\t222\t\t\t1\r\n");
  EXPECT_EQ(summary.result, ImportResult::Finished);
  EXPECT_EQ(summary.added, 0);
  EXPECT_EQ(summary.refused, 2);
  EXPECT_TRUE(Entries().empty());
}

TEST_F(CsvImportTest, LongNameIsCutAndBadRowsAreSkipped) {
  const auto summary = Import(
      "0001,abcdefghijklmnopq,,1\r\n"
      "abc,x,,1\r\n"
      "2000,x,,1\r\n"
      "0002\r\n");
  EXPECT_EQ(summary.result, ImportResult::Finished);
  EXPECT_EQ(summary.refused, 3);
  EXPECT_EQ(Names(), (std::vector<std::string>{"0001:abcdefghijklmnop"}));
}

TEST_F(CsvImportTest, MissingFileChangesNothing) {
  EXPECT_EQ(store.AddEntry(Entry(1, "kept")), StoreResult::Ok);
  CFixedDuplicateResolver resolver(DuplicateMethod::Overwrite);
  const auto summary =
      ImportCsvFile(store, m_folder.File("absent.csv"), resolver);
  EXPECT_EQ(summary.result, ImportResult::OpenFailed);
  EXPECT_EQ(Names(), (std::vector<std::string>{"0001:kept"}));
}

TEST_F(CsvImportTest, FullPhonebookOverwritesButAddingReachesTheLimitAfterPassOne) {
  Fill(1, 1000);
  EXPECT_EQ(Import(kThreeRows, DuplicateMethod::Overwrite).result, ImportResult::Finished);
  EXPECT_EQ(Stored(3).name, "b");

  const auto summary = Import("0001,x,,1\r\n,y,,1\r\n", DuplicateMethod::AddOther);
  EXPECT_EQ(summary.result, ImportResult::LimitReached);
  EXPECT_EQ(summary.added, 0);
  EXPECT_EQ(Stored(1).name, "a");
}

TEST_F(CsvImportTest, BlankLineInPassTwoWithNoFreeNumberEndsAtTheLimit) {
  Fill(1, 999);
  const auto summary = Import("1000,last,,1\r\n\r\n", DuplicateMethod::Skip);
  EXPECT_EQ(summary.result, ImportResult::LimitReached);
  EXPECT_EQ(Stored(1000).name, "last");
}

TEST_F(CsvImportTest, LimitKeepsWhatWasAddedBeforeIt) {
  Fill(1, 998);
  const auto summary =
      Import("0001,a,,1\r\n0002,b,,1\r\n0003,c,,1\r\n0004,d,,1\r\n", DuplicateMethod::AddOther);
  EXPECT_EQ(summary.result, ImportResult::LimitReached);
  EXPECT_EQ(summary.added, 2);
  EXPECT_EQ(Stored(999).name, "a");
  EXPECT_EQ(Stored(1000).name, "b");
}

TEST_F(CsvImportTest, MoreDeferredRowsThanAPhonebookHoldsStillEndAtTheLimit) {
  Fill(1, 1);
  std::string bytes;
  for (int i = 0; i < 1500; ++i) bytes += "0001,r" + std::to_string(i) + ",,1\r\n";
  const auto summary = Import(bytes, DuplicateMethod::AddOther);
  EXPECT_EQ(summary.result, ImportResult::LimitReached);
  EXPECT_EQ(summary.added, 999);
  EXPECT_EQ(Stored(1000).name, "r998");
}

TEST_F(CsvImportTest, FilesOfArbitraryBytesNeverBreakTheRules) {
  std::mt19937 random(23);
  std::uniform_int_distribution<int> byte(0, 255);
  const std::string alphabet = "0123456789,,,\"\r\n\n \t\x1A\x81\x40pP#*`";
  for (int round = 0; round < 12; ++round) {
    std::string bytes;
    for (int i = 0; i < 3000; ++i) {
      const int b = byte(random);
      bytes += b < 160 ? alphabet[b % alphabet.size()] : static_cast<char>(b);
    }
    const auto method = static_cast<DuplicateMethod>(round % 3);
    EXPECT_NE(Import(bytes, method).result, ImportResult::OpenFailed);
  }
  ExpectEntriesKeepTheRules();
}

}  // namespace
