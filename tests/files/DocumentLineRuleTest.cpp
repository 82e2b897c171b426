// The document line rule, run against every archive reader: the file reader and the
// in-memory reader must cut the same bytes into the same lines.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "files/FileArchiveReader.h"
#include "files/MemoryArchiveReader.h"
#include "TestFiles.h"

namespace {

using Lines = std::vector<std::string>;

Lines ReadAll(CArchiveReader& reader) {
  Lines lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  return lines;
}

struct LineCase {
  const char* name;
  std::string bytes;
  Lines lines;
};

const LineCase kCases[] = {
    {"Empty", "", {}},
    {"CrLf", "a\r\nb\r\n", {"a", "b"}},
    {"Lf", "a\nb\n", {"a", "b"}},
    {"NoFinalLineEnd", "a\nb", {"a", "b"}},
    {"CrTakesTheNextByte", "ab\rcd\n", {"abc", "d"}},
    {"CrCr", "a\r\rb\n", {"a\r", "b"}},
    {"CrAtEnd", "a\r", {"a"}},
    {"BlankLines", "\r\n\n", {"", ""}},
    {"EndOfTextByteIsData", "a\x1A" "b\n", {"a\x1A" "b"}},
    {"NulIsData", std::string("\0\n", 2), {std::string("\0", 1)}},
};

enum class ReaderKind { File, Memory };

class DocumentLineRuleTest : public ::testing::TestWithParam<std::tuple<ReaderKind, LineCase>> {
 protected:
  std::unique_ptr<CArchiveReader> MakeReader(const std::string& bytes) {
    if (std::get<0>(GetParam()) == ReaderKind::Memory) {
      return std::make_unique<CMemoryArchiveReader>(bytes);
    }
    std::string path = m_folder / "doc.txt";
    WriteBytes(path, bytes);
    auto reader = std::make_unique<CFileArchiveReader>();
    EXPECT_EQ(reader->Open(path), 0);
    return reader;
  }

  TempFolder m_folder;
};

TEST_P(DocumentLineRuleTest, CutsLinesAndRewindsForASecondPass) {
  const LineCase& c = std::get<1>(GetParam());
  auto reader = MakeReader(c.bytes);
  EXPECT_EQ(ReadAll(*reader), c.lines);
  reader->Rewind();
  EXPECT_EQ(ReadAll(*reader), c.lines);
  EXPECT_FALSE(reader->Failed());
}

INSTANTIATE_TEST_SUITE_P(
    Readers, DocumentLineRuleTest,
    ::testing::Combine(::testing::Values(ReaderKind::File, ReaderKind::Memory),
                       ::testing::ValuesIn(kCases)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param) == ReaderKind::File ? "File" : "Memory") +
             std::get<1>(info.param).name;
    });

TEST(FileArchiveReader, OverlongLineIsBoundedAndFollowingLinesSurvive) {
  TempFolder folder;
  std::string path = folder / "long.txt";
  WriteBytes(path, std::string(3 * kMaxLineBytes, 'x') + "\r\nnext");
  CFileArchiveReader reader;
  ASSERT_EQ(reader.Open(path), 0);
  EXPECT_EQ(ReadAll(reader), (Lines{std::string(kMaxLineBytes, 'x'), "next"}));
}

TEST(FileArchiveReader, RefusesWhatIsNotARegularFile) {
  TempFolder folder;
  CFileArchiveReader reader;
  EXPECT_EQ(reader.Open(folder / "missing"), ENOENT);
  EXPECT_EQ(reader.Open(folder.Path().string()), EISDIR);
  EXPECT_EQ(reader.Open("/dev/zero"), EINVAL);
}

}  // namespace
