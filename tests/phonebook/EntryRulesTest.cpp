// Field rules: character sets, the entry dialog's checks and NormaliseFields.
#include "phonebook/EntryRules.h"

#include <gtest/gtest.h>

#include "Cp932Samples.h"

using namespace cp932;

namespace {

TEST(CharacterSets, ReadingSetHas157CharactersAndNoGraveAccent) {
  int count = 0;
  for (int byte = 0; byte < 256; ++byte) count += InCharSet(byte, CharSet::Reading);
  EXPECT_EQ(count, 157);
  EXPECT_FALSE(InCharSet(0x60, CharSet::Reading));
  EXPECT_TRUE(InCharSet(' ', CharSet::Reading));
  EXPECT_TRUE(InCharSet(0xDF, CharSet::Reading));
  EXPECT_FALSE(InCharSet(0xE0, CharSet::Reading));
  EXPECT_FALSE(IsLeadByte(0xA0));  // half-width katakana are single bytes
  EXPECT_TRUE(IsLeadByte(0xFC));
}

struct FilterCase {
  std::string text;
  CharSet set;
  std::string expected;
};

class FilterCharsTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterCharsTest, KeepsOnlySingleByteMembers) {
  EXPECT_EQ(FilterChars(GetParam().text, GetParam().set), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterCharsTest,
    ::testing::Values(FilterCase{"+81-3(5555)p", CharSet::Phone, "8135555p"},
                      FilterCase{kYamada + kYama + kDa, CharSet::Reading, kYamada},
                      // A trail byte that looks like a digit or letter goes with its lead.
                      FilterCase{"1" + kOne + "2\x82", CharSet::Digit, "12"},
                      FilterCase{"a5", CharSet::Digit, "5"},
                      FilterCase{"", CharSet::Phone, ""}));

struct CharsCase {
  FieldPosition field;
  std::string text;
  bool ok;
  int textId;
  int selStart;
  int selEnd;
};

class CheckFieldCharsTest : public ::testing::TestWithParam<CharsCase> {};

TEST_P(CheckFieldCharsTest, SelectsFirstToLastOffenderInCharacters) {
  const CharsCase& c = GetParam();
  const FieldCharsResult result = CheckFieldChars(c.field, c.text);
  EXPECT_EQ(result.ok, c.ok);
  if (!c.ok) {
    EXPECT_EQ(result.textId, c.textId);
    EXPECT_EQ(result.selStart, c.selStart);
    EXPECT_EQ(result.selEnd, c.selEnd);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckFieldCharsTest,
    ::testing::Values(
        CharsCase{FieldReading, kYamadaTaro, true, 0, 0, 0},
        CharsCase{FieldReading, "\xB1\xB2\xB3`", false, 170, 3, 4},
        CharsCase{FieldReading, "\xB1" + kYama + "\xB2", false, 170, 1, 2},
        CharsCase{FieldReading, kYama + "\xB1" + kDa, false, 170, 0, 3},
        CharsCase{FieldMemoryNumber, "0001", true, 0, 0, 0},
        CharsCase{FieldMemoryNumber, "12a", false, 169, 2, 3},
        CharsCase{FieldMemoryNumber, kOne + kTwo, false, 169, 0, 2},
        CharsCase{FieldGroup, "1" + kTwo, false, 214, 1, 2},
        // A lead byte cut off at the end is one offending character.
        CharsCase{FieldGroup, "1\x82", false, 214, 1, 2},
        CharsCase{FieldName, kYama + "`\x01", true, 0, 0, 0},
        CharsCase{FieldMemoryNumber, "", true, 0, 0, 0}));

TEST(CheckFieldChars, PhoneFieldsAreFilteredNeverRefused) {
  FieldCharsResult result = CheckFieldChars(FieldPhone1, "03-1234p");
  EXPECT_TRUE(result.ok);
  EXPECT_TRUE(result.filtered);
  EXPECT_EQ(result.text, "031234p");
  EXPECT_EQ(result.caret, 7);  // 8 characters typed, placed at the new end

  result = CheckFieldChars(FieldPhone3, "12" + kYama + "3");
  EXPECT_EQ(result.text, "123");
  EXPECT_EQ(result.caret, 3);
}

struct LengthCase {
  FieldPosition field;
  std::string text;
  int textId;  // 0: passes
};

class CheckFieldLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(CheckFieldLengthTest, CountsBytes) {
  const FieldLengthResult result = CheckFieldLength(GetParam().field, GetParam().text);
  EXPECT_EQ(result.ok, GetParam().textId == 0);
  EXPECT_EQ(result.textId, GetParam().textId);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckFieldLengthTest,
    ::testing::Values(LengthCase{FieldName, Repeat(kYama, 8), 0},
                      LengthCase{FieldName, Repeat(kYama, 8) + "a", 173},
                      LengthCase{FieldReading, std::string(16, '\xB1'), 0},
                      LengthCase{FieldReading, std::string(17, '\xB1'), 174},
                      LengthCase{FieldPhone1, std::string(24, '1'), 0},
                      LengthCase{FieldPhone1, std::string(25, '1'), 175},
                      LengthCase{FieldPhone2, std::string(25, '1'), 176},
                      LengthCase{FieldPhone3, std::string(25, '1'), 211},
                      LengthCase{FieldMemoryNumber, std::string(40, '1'), 0},
                      LengthCase{FieldGroup, std::string(40, '1'), 0}));

// ---- CheckEntry ----------------------------------------------------------------------

using Texts = std::array<std::string, FieldCount>;

Texts ValidTexts() {
  return {"0005", kYama + kDa, kYamada, "0312345678", "", "", "1"};
}

struct EntryCase {
  const char* label;
  int position;        // field to replace, -1 for none
  std::string text;
  int editNumber;
  int textId;          // 0: passes
  int focusField;
  FocusSelection selection;
  int selStart = 0;
  int selEnd = 0;
};

class CheckEntryTest : public ::testing::TestWithParam<EntryCase> {
 protected:
  static UsedFlags Used() {
    UsedFlags used{};
    used[5 - 1] = 1;
    used[6 - 1] = 1;
    return used;
  }
};

TEST_P(CheckEntryTest, ReportsTheFirstFailingStep) {
  const EntryCase& c = GetParam();
  Texts texts = ValidTexts();
  if (c.position >= 0) texts[c.position] = c.text;
  const EntryCheckResult result = CheckEntry(texts, c.editNumber, Used());
  EXPECT_EQ(result.ok, c.textId == 0);
  EXPECT_EQ(result.textId, c.textId);
  if (c.textId == 0) return;
  EXPECT_EQ(result.focusField, c.focusField);
  EXPECT_EQ(result.selection, c.selection);
  if (c.selection == FocusSelection::Range) {
    EXPECT_EQ(result.selStart, c.selStart);
    EXPECT_EQ(result.selEnd, c.selEnd);
  }
  EXPECT_EQ(result.icon, c.textId == 178 ? MessageIcon::Warning : MessageIcon::Error);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CheckEntryTest,
    ::testing::Values(
        EntryCase{"EditKeepingNumber", -1, "", 5, 0, -1, FocusSelection::None},
        EntryCase{"NumberEmpty", FieldMemoryNumber, "", 5, 180, FieldMemoryNumber,
                  FocusSelection::Caret},
        EntryCase{"NumberLetter", FieldMemoryNumber, "12a", 0, 169, FieldMemoryNumber,
                  FocusSelection::Range, 2, 3},
        EntryCase{"NumberLeadingZeros", FieldMemoryNumber, "0001", 0, 0, -1,
                  FocusSelection::None},
        EntryCase{"NumberAbove1000", FieldMemoryNumber, "1001", 0, 177, FieldMemoryNumber,
                  FocusSelection::SelectAll},
        EntryCase{"NumberZero", FieldMemoryNumber, "0000", 0, 177, FieldMemoryNumber,
                  FocusSelection::SelectAll},
        EntryCase{"NumberHuge", FieldMemoryNumber, "99999999999999999999", 0, 177,
                  FieldMemoryNumber, FocusSelection::SelectAll},
        EntryCase{"NameTooLong", FieldName, Repeat(kYama, 8) + "a", 5, 173, FieldName,
                  FocusSelection::SelectAll},
        EntryCase{"ReadingGrave", FieldReading, "\xB1`", 5, 170, FieldReading,
                  FocusSelection::Range, 1, 2},
        EntryCase{"ReadingTooLong", FieldReading, std::string(17, 'A'), 5, 174, FieldReading,
                  FocusSelection::SelectAll},
        EntryCase{"Phone2TooLong", FieldPhone2, std::string(25, '1'), 5, 176, FieldPhone2,
                  FocusSelection::SelectAll},
        EntryCase{"PhoneBadCharsPass", FieldPhone3, "1-2", 5, 0, -1, FocusSelection::None},
        EntryCase{"GroupLetter", FieldGroup, "x", 5, 214, FieldGroup, FocusSelection::Range,
                  0, 1},
        EntryCase{"GroupEmpty", FieldGroup, "", 5, 213, -1, FocusSelection::None},
        EntryCase{"GroupTen", FieldGroup, "10", 5, 213, -1, FocusSelection::None},
        EntryCase{"NameEmpty", FieldName, "", 5, 216, -1, FocusSelection::None},
        EntryCase{"ReadingEmpty", FieldReading, "", 5, 215, -1, FocusSelection::None},
        EntryCase{"NoPhone", FieldPhone1, "", 5, 61215, -1, FocusSelection::None},
        EntryCase{"NumberInUseByAnother", FieldMemoryNumber, "0006", 5, 178,
                  FieldMemoryNumber, FocusSelection::SelectAll},
        EntryCase{"NewEntryOnUsedNumber", -1, "", 0, 178, FieldMemoryNumber,
                  FocusSelection::SelectAll},
        EntryCase{"FreeNumber", FieldMemoryNumber, "7", 0, 0, -1, FocusSelection::None}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CheckEntry, NameIsCheckedBeforeReadingAndPhones) {
  Texts texts = ValidTexts();
  texts[FieldName].clear();
  texts[FieldReading].clear();
  texts[FieldPhone1].clear();
  EXPECT_EQ(CheckEntry(texts, 5, UsedFlags{}).textId, 216);
  texts[FieldGroup] = "0";
  EXPECT_EQ(CheckEntry(texts, 5, UsedFlags{}).textId, 213);
}

// ---- NormaliseFields ---------------------------------------------------------------

struct NormaliseCase {
  const char* label;
  std::vector<std::string> fields;
  int result;
  std::vector<std::string> expected;  // empty: not compared
  int lastIndex = -1;
};

class NormaliseFieldsTest : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseFieldsTest, ChecksNumberAndFitsFields) {
  const NormaliseCase& c = GetParam();
  UsedFlags used{};
  used[1000 - 1] = 1;
  used[3 - 1] = 1;
  std::vector<std::string> fields = c.fields;
  int lastIndex = -1;
  EXPECT_EQ(static_cast<int>(NormaliseFields(fields, used, &lastIndex)), c.result);
  if (!c.expected.empty()) {
    EXPECT_EQ(fields, c.expected);
  }
  if (c.lastIndex >= 0) {
    EXPECT_EQ(lastIndex, c.lastIndex);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormaliseFieldsTest,
    ::testing::Values(
        NormaliseCase{"OnlyName", {"", "x", "", "", "", "", ""}, 8, {}, 1},
        NormaliseCase{"TwoFieldsSuffice", {"12", "x"}, 0, {"12", "x"}, 1},
        NormaliseCase{"FieldPastSixCounts", {"12", "", "", "", "", "", "", "extra"}, 0, {}, 7},
        NormaliseCase{"FullWidthNumber", {kOne + kTwo, "x"}, 4, {}, 0},
        NormaliseCase{"NumberTrailingSpace", {"12 ", "x"}, 5, {}, 0},
        NormaliseCase{"HalfWidthKanaNumber", {"\xB1", "x"}, 5, {}, 0},
        NormaliseCase{"NumberZero", {"0", "x"}, 7, {}, 0},
        NormaliseCase{"NumberHuge", {"99999999999", "x"}, 7, {}, 0},
        NormaliseCase{"Number1000InUse", {"1000", "x"}, 9, {}, 1},
        NormaliseCase{"Number1000Free", {"0999", "x"}, 0, {}, 1},
        // The record stops at the number: later fields stay as they came.
        NormaliseCase{"StopsBeforeLaterFields", {"abc", "x", "ab`", "1-2"}, 5,
                      {"abc", "x", "ab`", "1-2"}},
        NormaliseCase{"InUseStillNormalises", {"3", "x", "", "1-2p"}, 9, {"3", "x", "", "12P"}},
        NormaliseCase{"GroupRepairs",
                      {"12", "x", "", "", "", "", "a5"}, 0, {"12", "x", "", "", "", "", "5"}},
        NormaliseCase{"GroupOutOfRange",
                      {"12", "x", "", "", "", "", "12"}, 0, {"12", "x", "", "", "", "", "1"}},
        NormaliseCase{"GroupZero",
                      {"12", "x", "", "", "", "", "0"}, 0, {"12", "x", "", "", "", "", "1"}},
        NormaliseCase{"PhoneFilteredUpperCased",
                      {"12", "x", "", "+81-3(5555)p", "", std::string(30, '9'), ""}, 0,
                      {"12", "x", "", "8135555P", "", std::string(24, '9'), ""}},
        NormaliseCase{"ReadingFilteredAndCut",
                      {"12", "x", kYamada + kYama + kDa + std::string(20, '\xB1')}, 0,
                      {"12", "x", kYamada + std::string(12, '\xB1')}},
        NormaliseCase{"NameNineFullWidth", {"12", Repeat(kYama, 9)}, 0,
                      {"12", Repeat(kYama, 8)}},
        NormaliseCase{"NameCutNeverSplits", {"12", Repeat(kYama, 7) + "a" + kDa}, 0,
                      {"12", Repeat(kYama, 7) + "a"}},
        // Control characters leave the name before it is counted and cut: the blanks
        // become spaces, the rest go; a lead byte before one is a broken character and
        // goes with it, while 7F after a lead byte is that pair's second byte and stays.
        NormaliseCase{"NameControlCharacters",
                      {"12", "\xB1\x1A\xB2\ta\r\nb\x7F" "cd" + Repeat(kYama, 6) + "!"}, 0,
                      {"12", "\xB1\xB2 a  bcd" + Repeat(kYama, 3)}},
        NormaliseCase{"NameBrokenAndUndefinedPairs", {"12", "a\x81\x1A" "b\x81\x7F" "c\x81\t"}, 0,
                      {"12", "ab\x81\x7F" "c "}},
        NormaliseCase{"NameOfControlsOnlyIsEmpty", {"12", "\x1A\x7F\x01", "", ""}, 8, {}, 0},
        // The 16th byte is a second byte that looks like a lead byte: keep all 16.
        NormaliseCase{"NameTrailByteInLeadRange", {"12", Repeat(kA, 8) + "x"}, 0,
                      {"12", Repeat(kA, 8)}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(NormaliseFields, LastIndexIsUntouchedWithoutNonEmptyFields) {
  std::vector<std::string> fields(7);
  int lastIndex = 42;
  EXPECT_EQ(NormaliseFields(fields, UsedFlags{}, &lastIndex), NormaliseResult::TooFewFields);
  EXPECT_EQ(lastIndex, 42);
  EXPECT_EQ(NormaliseFields(fields, UsedFlags{}), NormaliseResult::TooFewFields);
}

// ---- Text forms --------------------------------------------------------------------

TEST(EntryTexts, SevenTextsRoundTrip) {
  PhonebookEntry entry{7, kYama + kDa, kYamada, "0312", "", "#*P", 9};
  const auto texts = EntryToTexts(entry);
  EXPECT_EQ(texts[FieldMemoryNumber], "0007");
  EXPECT_EQ(texts[FieldGroup], "9");
  EXPECT_EQ(EntryFromFields(std::vector<std::string>(texts.begin(), texts.end())), entry);
}

TEST(EntryTexts, FromShortOrLooseRows) {
  PhonebookEntry entry = EntryFromFields({"0012", "x"});
  EXPECT_EQ(entry.memoryNumber, 12);
  EXPECT_EQ(entry.group, 1);
  EXPECT_TRUE(entry.phone1.empty());

  entry = EntryFromFields({"1", "x", "", "12p", "", "", "12"});
  EXPECT_EQ(entry.phone1, "12P");
  EXPECT_EQ(entry.group, 1);
}

TEST(TextHelpers, UpperAsciiLeavesDoubleByteCharactersAlone) {
  // 0x82 0x70 is a full-width letter whose second byte is ASCII 'p'.
  EXPECT_EQ(UpperAscii("p\x82\x70p"), "P\x82\x70P");
}

TEST(TextHelpers, CharacterPositionsAndOffsets) {
  const std::string text = "a" + kYama + "b";
  EXPECT_EQ(CharCount(text), 3);
  EXPECT_EQ(ByteOffsetOfChar(text, 2), 3u);
  EXPECT_EQ(ByteOffsetOfChar(text, 9), text.size());
}

}  // namespace
