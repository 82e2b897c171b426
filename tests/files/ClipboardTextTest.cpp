// The clipboard text: line cutting, header acceptance, and what a paste does to a store.
#include <gtest/gtest.h>

#include <random>

#include "ExchangeTestSupport.h"
#include "files/ClipboardText.h"

namespace {

using Lines = std::vector<std::string>;

struct LineCase {
  std::string text;
  Lines lines;
};

class SplitClipboardLinesTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(SplitClipboardLinesTest, EachLineEndEndsOneLineAndKeepsEveryByte) {
  EXPECT_EQ(SplitClipboardLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, SplitClipboardLinesTest,
    ::testing::Values(LineCase{"a,b\r\nc\r\n", {"a,b", "c"}},
                      LineCase{"ab\rcd", {"ab", "cd"}},          // lone CR drops nothing
                      LineCase{"ab\ncd\n", {"ab", "cd"}},        // lone LF
                      LineCase{"a\r\n\r\nb", {"a", "", "b"}},    // empty line in the middle
                      LineCase{"a\n\rb", {"a", "", "b"}},        // LF then CR is two ends
                      LineCase{"a\r", {"a"}},                    // CR as the last byte
                      LineCase{"", {}},
                      LineCase{"\r\n", {""}},
                      // A NUL inside is a byte of its line; NULs at the end are the end mark.
                      LineCase{std::string("a\r\nb\0c\r\nd", 9), {"a", std::string("b\0c", 3), "d"}},
                      LineCase{std::string("a\r\nb\0\0", 6), {"a", "b"}},
                      LineCase{std::string("\0", 1), {}},
                      LineCase{"\x82\xa0\r\n\x8a\r", {"\x82\xa0", "\x8a"}}));

struct HeaderCase {
  std::string line;
  bool accepted;
  int kanaRow = 0;
  int displayFlag = 0;
};

class AcceptClipboardHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(AcceptClipboardHeaderTest, AcceptsOnlyThisProgramsHeader) {
  const HeaderCase& c = GetParam();
  const UsedFlags noneUsed{};
  const auto header = AcceptClipboardHeader(c.line, noneUsed);
  ASSERT_EQ(header.has_value(), c.accepted);
  if (header) {
    EXPECT_EQ(header->kanaRow, c.kanaRow);
    EXPECT_EQ(header->displayFlag, c.displayFlag);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, AcceptClipboardHeaderTest,
    ::testing::Values(HeaderCase{",QV PhoneBook,,11,0", true, 11, 0},
                      HeaderCase{",QV PhoneBook,,3,1", true, 3, 1},
                      HeaderCase{" ,QV PhoneBook , ,0,1", true, 0, 1},  // fields are trimmed
                      HeaderCase{",QV PhoneBook,,12,0", false},
                      HeaderCase{",QV PhoneBook,,3,2", false},
                      HeaderCase{",QV PhoneBook,,3,1,", false},          // six fields
                      HeaderCase{",QV PhoneBook,,3", false},             // four fields
                      HeaderCase{",QV Phonebook,,3,1", false},
                      HeaderCase{",QV PhoneBook,x,3,1", false},
                      HeaderCase{",QV PhoneBook,,,1", false},
                      HeaderCase{",QV PhoneBook,,3,", false},
                      HeaderCase{"x,QV PhoneBook,,3,1", false},          // not a number
                      HeaderCase{",QV PhoneBook,,99999999999999999999,0", false},
                      // The numbers as written (the field rules would fit "-1" into "1").
                      HeaderCase{",QV PhoneBook,,-1,0", false}, HeaderCase{",QV PhoneBook,,1,+1", false},
                      HeaderCase{",QV PhoneBook,,011,00", true, 11, 0},
                      HeaderCase{",QV PhoneBook,,3,1,,", false},         // seven fields, the extra empty
                      HeaderCase{"0001,0312345678,,,", false},
                      HeaderCase{"", false}));

TEST(AcceptClipboardHeader, NumberedHeaderIsRefusedWhenItsNumberIsInUse) {
  UsedFlags used{};
  EXPECT_TRUE(AcceptClipboardHeader("5,QV PhoneBook,,3,1", used).has_value());
  used[4] = 1;
  EXPECT_FALSE(AcceptClipboardHeader("5,QV PhoneBook,,3,1", used).has_value());
}

class PasteTest : public ExchangeTest {
 protected:
  // Copies `entries` as the list would show them, with the given header.
  static std::string CopiedText(const std::vector<PhonebookEntry>& entries,
                                ClipboardHeader header = {}) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& e : entries) {
      const auto texts = EntryToTexts(e);
      rows.emplace_back(texts.begin(), texts.end());
    }
    return BuildClipboardText(header, rows);
  }

  PasteOutcome Paste(const std::string& text) {
    return PasteClipboardLines(store, SplitClipboardLines(text));
  }
};

TEST_F(PasteTest, CopiedTextHasTheHeaderAndOneQuotedRowPerEntry) {
  PhonebookEntry tricky = Entry(5, "a,\"b\"c", "\xD4", "1", 9);
  tricky.phone3 = "#*P";
  const std::string text = CopiedText({Entry(1, "x"), tricky}, {3, 1});
  EXPECT_EQ(text,
            ",QV PhoneBook,,3,1\r\n"
            "0001,x,\xD4\xCF,0312345678,,,1\r\n"
            "0005,\"a,\"\"b\"\"c\",\xD4,1,,#*P,9\r\n");
}

TEST_F(PasteTest, IntoAnotherPhonebookKeepsNumbersAndTextsExactly) {
  PhonebookEntry comma = Entry(5, "a,b", "\xB1\xB2 \xDE", "03p#*", 4);
  comma.phone2 = "1";
  PhonebookEntry quote = Entry(1, "x\"y", "", "", 9);
  quote.phone3 = "2";
  const auto outcome = Paste(CopiedText({comma, quote}));

  ASSERT_NE(outcome.summary.result, ImportResult::Refused);
  EXPECT_NE(outcome.summary.result, ImportResult::LimitReached);
  EXPECT_EQ(outcome.pastedNumbers, (Lines{"0005", "0001"}));
  comma.phone1 = "03P#*";
  EXPECT_EQ(Entries(), (std::vector<PhonebookEntry>{quote, comma}));
}

TEST_F(PasteTest, DuplicatesFollowUnderTheLowestFreeNumbersAfterEveryOtherRow) {
  EXPECT_EQ(store.AddEntry(Entry(1, "one")), StoreResult::Ok);
  EXPECT_EQ(store.AddEntry(Entry(2, "two")), StoreResult::Ok);
  // 0001 is in use and waits; 0003 and 0004 keep their numbers; 0002 waits as well.
  const auto outcome =
      Paste(CopiedText({Entry(1, "a"), Entry(3, "b"), Entry(2, "c"), Entry(4, "d")}));

  EXPECT_EQ(outcome.pastedNumbers, (Lines{"0003", "0004", "0005", "0006"}));
  EXPECT_EQ(Stored(5).name, "a");
  EXPECT_EQ(Stored(6).name, "c");
  EXPECT_EQ(Stored(1).name, "one");
}

TEST_F(PasteTest, RowWithoutNumberTakesAFreeNumberInsteadOfNumberZero) {
  EXPECT_EQ(store.AddEntry(Entry(1, "one")), StoreResult::Ok);
  const auto outcome = Paste(",QV PhoneBook,,11,0\r\n,nameless,,123,,,\r\n0002,b,,1,,,\r\n");
  EXPECT_EQ(outcome.pastedNumbers, (Lines{"0002", "0003"}));
  EXPECT_EQ(Stored(3).name, "nameless");
  ExpectEntriesKeepTheRules();
}

TEST_F(PasteTest, NumberWithoutLeadingZerosIsReportedInListForm) {
  const auto outcome = Paste(",QV PhoneBook,,11,0\r\n7,seven,,1\r\n");
  EXPECT_EQ(outcome.pastedNumbers, (Lines{"0007"}));
}

TEST_F(PasteTest, MissingOrEmptyGroupGivesGroupOneAndFieldsAreFitted) {
  const auto outcome = Paste(
      ",QV PhoneBook,,11,0\n"
      "0001,a,,1,,,\n"
      "0002,b,,1\n"
      "0003,\x8e\x52\x93\x63\x8e\x52\x93\x63\x8e\x52\x93\x63\x8e\x52\x93\x63\x8e\x52,"
      "\xD4\xCF\xC0\xDE\x8e\x52,+81-3(5555)p,,,a5\n");
  EXPECT_EQ(outcome.pastedNumbers.size(), 3u);
  EXPECT_EQ(Stored(1).group, 1);
  EXPECT_EQ(Stored(2).group, 1);
  const PhonebookEntry fitted = Stored(3);
  EXPECT_EQ(fitted.name, "\x8e\x52\x93\x63\x8e\x52\x93\x63\x8e\x52\x93\x63\x8e\x52\x93\x63");
  EXPECT_EQ(fitted.reading, "\xD4\xCF\xC0\xDE");
  EXPECT_EQ(fitted.phone1, "8135555P");
  EXPECT_EQ(fitted.group, 5);
}

TEST_F(PasteTest, RefusedTextAddsNothing) {
  for (const std::string text : {"", "hello world\r\n0001,a,,1,,,1\r\n",
                                 ",QV PhoneBook,,12,0\r\n0001,a,,1,,,1\r\n",
                                 ",QV PhoneBook,,3,2\r\n0001,a,,1,,,1\r\n"}) {
    const auto outcome = Paste(text);
    EXPECT_EQ(outcome.summary.result, ImportResult::Refused) << text;
    EXPECT_TRUE(outcome.pastedNumbers.empty());
  }
  EXPECT_TRUE(Entries().empty());
}

TEST_F(PasteTest, RowsTheRulesRefuseAreSkippedWholeAndCounted) {
  const auto outcome = Paste(
      ",QV PhoneBook,,11,0\r\n\r\n0001\r\nabc,x\r\n1001,x\r\n0,x\r\n\x82\x4f\x82\x50,x\r\n"
      "0009,kept\r\n , ,\t\r\n");
  EXPECT_NE(outcome.summary.result, ImportResult::LimitReached);
  EXPECT_EQ(outcome.pastedNumbers, (Lines{"0009"}));
  EXPECT_EQ(outcome.summary.refused, 5);  // blank lines are no rows
}

TEST_F(PasteTest, TwentyDuplicatesIntoNineHundredNinetyAddTenThenReachTheLimit) {
  Fill(1, 990);
  std::vector<PhonebookEntry> copied;
  for (int n = 1; n <= 20; ++n) copied.push_back(Entry(n, "dup" + std::to_string(n)));
  const auto outcome = Paste(CopiedText(copied));

  EXPECT_EQ(outcome.summary.result, ImportResult::LimitReached);
  ASSERT_EQ(outcome.pastedNumbers.size(), 10u);
  EXPECT_EQ(outcome.pastedNumbers.front(), "0991");
  EXPECT_EQ(outcome.pastedNumbers.back(), "1000");
  EXPECT_EQ(Stored(1000).name, "dup10");
  EXPECT_EQ(store.GetFreeMemoryNumber(), 0);
}

TEST_F(PasteTest, HundredThousandRowsFillThePhonebookAndStop) {
  std::string text = ",QV PhoneBook,,11,0\r\n";
  for (int i = 0; i < 100000; ++i) text += "0001,r" + std::to_string(i) + ",,1,,,1\r\n";
  const auto outcome = Paste(text);
  EXPECT_EQ(outcome.summary.result, ImportResult::LimitReached);
  EXPECT_EQ(outcome.pastedNumbers.size(), 1000u);
  EXPECT_EQ(Stored(1000).name, "r999");
  ExpectEntriesKeepTheRules();
}

TEST_F(PasteTest, ArbitraryBytesNeverBreakTheRules) {
  std::mt19937 random(6);
  std::uniform_int_distribution<int> byte(0, 255), length(0, 300);
  const std::string alphabet = "0123456789,\"\r\n \t\x81\x40\x82\xA0pP#*`";
  for (int round = 0; round < 20; ++round) {
    std::string text = ",QV PhoneBook,,11,0\r\n";
    for (int i = 0, n = length(random) * 10; i < n; ++i) {
      const int b = byte(random);
      text += b < 128 ? alphabet[b % alphabet.size()] : static_cast<char>(b);
    }
    Paste(text);
  }
  ExpectEntriesKeepTheRules();
}

}  // namespace
