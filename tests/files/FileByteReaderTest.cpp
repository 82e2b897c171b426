// FileByteReader on real files that another program changes while they are read: cut
// short, grown, rewritten, replaced or removed, during a pass and between two passes.
// Every change must end the reading with an error that Rewind does not clear (the bytes a
// pass handed out before are then not to be used), and no pass may hand out more bytes
// than the file had when it was opened.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "files/FileByteReader.h"
#include "TestFiles.h"

namespace {

// Reads what is left of the pass.
std::string ReadRest(FileByteReader& reader) {
  std::string bytes;
  for (int c; (c = reader.Get()) != FileByteReader::kEnd;) bytes += static_cast<char>(c);
  return bytes;
}

// Moves the file's last change a second on, as a later write by another program would.
void TouchLater(const std::string& path) {
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  const timespec times[2] = {st.st_atim, {st.st_mtim.tv_sec + 1, st.st_mtim.tv_nsec}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct Change {
  const char* name;
  std::function<void(const std::string& path, const std::string& original)> apply;
};

class FileChangedWhileRead : public ::testing::TestWithParam<Change> {
 protected:
  // Two 64 KiB reads' worth and more, each byte telling its place.
  FileChangedWhileRead() {
    for (int i = 0; i < 150000; ++i) m_original += static_cast<char>('a' + i % 26);
    WriteBytes(m_path, m_original);
  }

  TempFolder m_folder;
  const std::string m_path = m_folder / "book.csv";
  std::string m_original;
};

TEST_P(FileChangedWhileRead, DuringAPassOrBetweenPassesFailsForGood) {
  for (const bool betweenPasses : {false, true}) {
    SCOPED_TRACE(betweenPasses ? "between passes" : "during a pass");
    WriteBytes(m_path, m_original);
    FileByteReader reader;
    ASSERT_EQ(reader.Open(m_path), 0);
    std::string read;
    if (betweenPasses) {
      ASSERT_TRUE(ReadRest(reader) == m_original);
      ASSERT_FALSE(reader.Failed());
      reader.Rewind();
    } else {
      read += static_cast<char>(reader.Get());  // the first 64 KiB are read now
    }
    GetParam().apply(m_path, m_original);
    read += ReadRest(reader);
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(reader.Error(), kFileChangedWhileRead);
    EXPECT_LE(read.size(), m_original.size());
    reader.Rewind();
    EXPECT_EQ(reader.Get(), FileByteReader::kEnd) << "the error stays";
    EXPECT_TRUE(reader.Failed());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FileChangedWhileRead,
    ::testing::Values(
        Change{"CutShort", [](const std::string& path, const std::string&) {
                 std::filesystem::resize_file(path, 1000);
               }},
        Change{"Grown", [](const std::string& path, const std::string& original) {
                 WriteBytes(path, original + "9999,more\r\n");
               }},
        Change{"RewrittenToTheSameSize", [](const std::string& path, const std::string& original) {
                 WriteBytes(path, std::string(original.size(), 'z'));
                 TouchLater(path);
               }},
        Change{"ReplacedByAnotherFile", [](const std::string& path, const std::string& original) {
                 WriteBytes(path + ".new", original);
                 std::filesystem::rename(path + ".new", path);
               }},
        Change{"Removed", [](const std::string& path, const std::string&) { std::filesystem::remove(path); }}),
    [](const ::testing::TestParamInfo<Change>& info) { return std::string(info.param.name); });

TEST(FileByteReader, UnchangedFileReadsWholeInEveryPass) {
  TempFolder folder;
  const std::string path = folder / "book.csv";
  std::string bytes(200000, 'x');
  bytes.back() = 'y';
  WriteBytes(path, bytes);
  FileByteReader reader;
  ASSERT_EQ(reader.Open(path), 0);
  EXPECT_EQ(reader.Size(), 200000);
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_TRUE(ReadRest(reader) == bytes);
    EXPECT_FALSE(reader.Failed());
    reader.Rewind();
  }
}

}  // namespace
