// CCsvFile on real files: text-stream line rules, records, refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/CsvFile.h"
#include "files/DocumentLineRule.h"
#include "TestFiles.h"

namespace {

using Lines = std::vector<std::string>;

Lines ReadAllLines(const std::string& bytes) {
  TempFolder folder;
  std::string path = folder / "in.csv";
  WriteBytes(path, bytes);
  CCsvFile file;
  EXPECT_TRUE(file.Open(path));
  Lines lines;
  std::vector<std::string> record;
  while (file.ReadLine()) {
    std::string field, line;
    // Rebuild the raw line from its fields to see exactly what was loaded.
    for (bool first = true; file.ReadField(field); first = false) line += (first ? "" : ",") + field;
    lines.push_back(line);
  }
  return lines;
}

struct LineCase {
  const char* name;
  std::string bytes;
  Lines lines;
};

class CsvFileLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CsvFileLineTest, ReadsTheLines) { EXPECT_EQ(ReadAllLines(GetParam().bytes), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    TextStream, CsvFileLineTest,
    ::testing::Values(LineCase{"EmptyFile", "", {}},
                      LineCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                      LineCase{"LfOnly", "a\nb\n", {"a", "b"}},
                      LineCase{"LastLineWithoutEnd", "a\nb", {"a", "b"}},
                      LineCase{"LoneCrStaysInLine", "a\rb\r\nc", {"a\rb", "c"}},
                      LineCase{"CrCrLf", "a\r\r\n", {"a\r"}},
                      LineCase{"CrAtEnd", "a\r", {"a\r"}},
                      LineCase{"BlankLines", "\n\r\n", {"", ""}},
                      // A 1A inside a line is a byte of it; lines of 1A alone are no lines.
                      LineCase{"EndOfTextByteInALine", "a\nb\x1A" "c\nd\n", {"a", "b\x1A" "c", "d"}},
                      LineCase{"EndOfTextFirst", "\x1A" "a\n", {"\x1A" "a"}},
                      LineCase{"EndOfTextMarksAreNoLines", "a\r\n\x1A\x1A\r\nb\n\x1A", {"a", "b"}},
                      LineCase{"NulBytesKept", std::string("a\0b\n", 4), {std::string("a\0b", 3)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvFile, ReadRecordSplitsTrimsAndUnquotes) {
  TempFolder folder;
  std::string path = folder / "in.csv";
  WriteBytes(path, "0001, \"a,b\" ,\"x\"\"y\"\r\n\r\n");
  CCsvFile file;
  ASSERT_TRUE(file.Open(path));
  std::vector<std::string> record;
  ASSERT_TRUE(file.ReadRecord(record));
  EXPECT_EQ(record, (std::vector<std::string>{"0001", "a,b", "x\"y"}));
  ASSERT_TRUE(file.ReadRecord(record));
  EXPECT_EQ(record, std::vector<std::string>{""});
  EXPECT_FALSE(file.ReadRecord(record));
  EXPECT_TRUE(record.empty());
}

TEST(CsvFile, RefusesMissingFileAndFolderAndReadsNothingUnopened) {
  TempFolder folder;
  CCsvFile file;
  EXPECT_FALSE(file.Open(folder / "missing.csv"));
  EXPECT_EQ(file.OpenError(), ENOENT);
  EXPECT_FALSE(file.Open(folder.Path().string()));
  EXPECT_EQ(file.OpenError(), EISDIR);
  EXPECT_FALSE(file.ReadLine());
  std::vector<std::string> record;
  EXPECT_FALSE(file.ReadRecord(record));
}

TEST(CsvFile, OverlongLineIsCutAndTheNextLineStillRead) {
  TempFolder folder;
  std::string path = folder / "long.csv";
  WriteBytes(path, std::string(kMaxLineBytes + 10, 'x') + "\nnext\n");
  CCsvFile file;
  ASSERT_TRUE(file.Open(path));
  std::vector<std::string> record;
  ASSERT_TRUE(file.ReadRecord(record));
  ASSERT_EQ(record.size(), 1u);
  EXPECT_EQ(record[0].size(), kMaxLineBytes);
  ASSERT_TRUE(file.ReadRecord(record));
  EXPECT_EQ(record, std::vector<std::string>{"next"});
}

// A record keeps the fields asked for and then only the first non-empty one of the rest,
// however many a line holds.
TEST(CsvFile, RecordKeepsTheFieldsAskedForAndOneMore) {
  TempFolder folder;
  std::string path = folder / "wide.csv";
  WriteBytes(path, "1,a,b,c,d,e,f,, x ,y\n" + std::string(kMaxLineBytes, ',') + "\n1,a\n");
  CCsvFile file;
  ASSERT_TRUE(file.Open(path));
  std::vector<std::string> record;
  ASSERT_TRUE(file.ReadRecord(record, 7));
  EXPECT_EQ(record, (std::vector<std::string>{"1", "a", "b", "c", "d", "e", "f", "x"}));
  ASSERT_TRUE(file.ReadRecord(record, 7));
  EXPECT_EQ(record, std::vector<std::string>(7));
  ASSERT_TRUE(file.ReadRecord(record, 7));
  EXPECT_EQ(record, (std::vector<std::string>{"1", "a"}));
}

}  // namespace
