// The CSV line codec: splitting, unquoting, trimming, quoting and joining.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/CsvCodec.h"

namespace {

using Fields = std::vector<std::string>;

// Shift-JIS bytes used below.
const std::string kFullWidthSpace = "\x81\x40";
const std::string kYama = "\x8E\x52";        // 山 (trail byte 0x52)
const std::string kSo = "\x83\x5C";          // ソ (trail byte 0x5C, the backslash)
const std::string kTrail81At = "\x88\x81";   // a character with trail byte 0x81

struct SplitCase {
  const char* name;
  std::string line;
  char delimiter;
  QuoteRule rule;
  Fields expected;
};

class SplitCsvLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCsvLineTest, GivesTheFields) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(SplitCsvLine(c.line, c.delimiter, c.rule), c.expected);
}

const auto kCollapse = QuoteRule::CollapseQuotes;
const auto kDrop = QuoteRule::DropQuotes;

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCsvLineTest,
    ::testing::Values(
        SplitCase{"Empty", "", ',', kCollapse, {""}},
        SplitCase{"TrailingDelimiter", "a,", ',', kCollapse, {"a", ""}},
        SplitCase{"OnlyDelimiters", ",,", ',', kCollapse, {"", "", ""}},
        SplitCase{"QuotedComma", "\"a,b\",z", ',', kCollapse, {"a,b", "z"}},
        SplitCase{"QuotesMidField", "x\"y,z\"w", ',', kCollapse, {"xy,zw"}},
        SplitCase{"DoubledQuotes", "\"He said \"\"hi\"\"\"", ',', kCollapse, {"He said \"hi\""}},
        SplitCase{"DoubledQuotesCollapsed", "\"a\"\"b\"", ',', kCollapse, {"a\"b"}},
        SplitCase{"DoubledQuotesDropped", "\"a\"\"b\"", ',', kDrop, {"ab"}},
        SplitCase{"TrimAfterUnquoting", "  \"x\"  ,y", ',', kCollapse, {"x", "y"}},
        SplitCase{"QuotesDoNotProtectBlanks", "\" x \"", ',', kCollapse, {"x"}},
        SplitCase{"MixedLeadingBlanks", kFullWidthSpace + " " + kFullWidthSpace + "abc", ',',
                  kCollapse, {"abc"}},
        SplitCase{"MixedTrailingBlanks", "abc\t" + kFullWidthSpace + " " + kFullWidthSpace, ',',
                  kCollapse, {"abc"}},
        SplitCase{"OnlyFullWidthSpace", kFullWidthSpace, ',', kCollapse, {""}},
        SplitCase{"TabDelimiter", "a,b\tc", '\t', kCollapse, {"a,b", "c"}},
        SplitCase{"TabInQuotesStillSplitsOnComma", "\"a\tb\",c", ',', kCollapse, {"a\tb", "c"}},
        SplitCase{"DoubleByteTrailIsNotSpecial", kSo + "," + kYama, ',', kCollapse, {kSo, kYama}},
        SplitCase{"TrailByte81ThenAtIsTakenForBlank", "a" + kTrail81At + "@", ',', kCollapse,
                  {"a\x88"}},
        SplitCase{"LoneLeadByteAtEnd", "ab\x82", ',', kCollapse, {"ab\x82"}},
        SplitCase{"LeadByteBeforeSpaceKeepsIt", "a\x82 ", ',', kCollapse, {"a\x82 "}}),
    [](const auto& info) { return std::string(info.param.name); });

struct QuoteCase {
  const char* name;
  std::string field;
  std::string written;
};

class QuoteCsvFieldTest : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(QuoteCsvFieldTest, WritesTheField) {
  EXPECT_EQ(QuoteCsvField(GetParam().field), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, QuoteCsvFieldTest,
    ::testing::Values(QuoteCase{"Plain", "abc", "abc"},
                      QuoteCase{"Empty", "", ""},
                      QuoteCase{"Quotes", "He said \"hi\"", "\"He said \"\"hi\"\"\""},
                      QuoteCase{"Comma", "a,b", "\"a,b\""},
                      QuoteCase{"LeadingSpacesNotEnclosed", "  a", "  a"},
                      QuoteCase{"TabEnclosed", "a\tb", "\"a\tb\""},
                      QuoteCase{"LineBreakAsSpaces", "a\r\nb", "a  b"},
                      QuoteCase{"OneQuoteNotEnclosed", "\"", "\"\""},
                      QuoteCase{"QuotesAndTab", "\"\t\"", "\"\"\"\t\"\"\""}),
    [](const auto& info) { return std::string(info.param.name); });

// What a field turns into when written and read back, by delimiter.
struct RoundTripCase {
  const char* name;
  std::string field;
  char delimiter;
  Fields readBack;
};

class CsvRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(CsvRoundTripTest, ReadsBackAsExpected) {
  const RoundTripCase& c = GetParam();
  std::string line = JoinCsvFields({c.field}, c.delimiter);
  EXPECT_EQ(SplitCsvLine(line, c.delimiter), c.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CsvRoundTripTest,
    ::testing::Values(
        RoundTripCase{"QuotesComma", "He said \"hi\", twice", ',', {"He said \"hi\", twice"}},
        RoundTripCase{"CommaUnderTab", "a,b", '\t', {"a,b"}},
        RoundTripCase{"TabUnderTab", "a\tb", '\t', {"a\tb"}},
        RoundTripCase{"TabUnderComma", "a\tb", ',', {"a\tb"}},
        RoundTripCase{"LeadingSpacesLost", "  a", ',', {"a"}},
        RoundTripCase{"OneQuote", "\"", ',', {"\""}},
        RoundTripCase{"TwoQuotesUnderTab", "\"\"", '\t', {"\"\""}},
        RoundTripCase{"QuotesAroundComma", "\",\"", ',', {"\",\""}},
        RoundTripCase{"DoubleByteText", kYama + kSo + "\"" + kYama, ',', {kYama + kSo + "\"" + kYama}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JoinCsvFields, PutsDelimitersBetweenFieldsOnly) {
  EXPECT_EQ(JoinCsvFields({"0001", "a,b", "", "x"}, ','), "0001,\"a,b\",,x");
  EXPECT_EQ(JoinCsvFields({"0001", "a,b", "", "x"}, '\t'), "0001\t\"a,b\"\t\tx");
  EXPECT_EQ(JoinCsvFields({}, ','), "");
}

TEST(JoinCsvFields, LineBreakInFieldKeepsTheRecordOnOneLine) {
  EXPECT_EQ(JoinCsvFields({"a\r\nb", "c\rd"}, ','), "a  b,c d");
}

TEST(CsvLineReader, ReadsUntrimmedFieldsThenStops) {
  CsvLineReader reader(" a ,\"b\"\"\"");
  std::string field;
  ASSERT_TRUE(reader.ReadField(field, ',', QuoteRule::CollapseQuotes));
  EXPECT_EQ(field, " a ");
  ASSERT_TRUE(reader.ReadField(field, ',', QuoteRule::CollapseQuotes));
  EXPECT_EQ(field, "b\"");
  EXPECT_FALSE(reader.ReadField(field, ',', QuoteRule::CollapseQuotes));
  EXPECT_FALSE(reader.ReadField(field, ',', QuoteRule::CollapseQuotes));
}

}  // namespace
