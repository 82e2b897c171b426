// Atomic file replacement on Windows: what a refused replacement leaves behind when the
// target is open in another program or marked read-only.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "../files/TestFiles.h"
#include "platform/AtomicFile.h"
#include "platform/WindowsApi.h"

namespace {

std::size_t FilesIn(const std::filesystem::path& folder) {
  std::size_t n = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

class AtomicFileWindows : public ::testing::Test {
 protected:
  TempFolder m_folder;
  std::string m_path = m_folder / "book.csv";
  const std::string m_previous = "0001,\x96\xBC\x91\x4F,,1,,,1\r\n";

  void SetUp() override { ASSERT_EQ(SaveFileAtomically(m_path, m_previous), 0); }

  void ExpectPreviousIntact() {
    EXPECT_EQ(ReadBytes(m_path), m_previous);
    EXPECT_EQ(FilesIn(m_folder.Path()), 1u) << "no temporary file is left behind";
  }
};

TEST_F(AtomicFileWindows, ReplacesAnExistingFileWholly) {
  ASSERT_EQ(SaveFileAtomically(m_path, std::string("sec\0nd\r\n", 8)), 0);
  EXPECT_EQ(ReadBytes(m_path), std::string("sec\0nd\r\n", 8));
  EXPECT_EQ(FilesIn(m_folder.Path()), 1u);
}

TEST_F(AtomicFileWindows, ReplacedHiddenFileStaysHidden) {
  ASSERT_TRUE(SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_EQ(SaveFileAtomically(m_path, "second"), 0);
  EXPECT_EQ(ReadBytes(m_path), "second");
  EXPECT_TRUE(GetFileAttributesA(m_path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// A spreadsheet program keeps the file open without sharing while it shows it.
TEST_F(AtomicFileWindows, TargetOpenElsewhereIsRefusedAndKept) {
  platform::ScopedHandle holder(CreateFileA(m_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder.Valid());
  EXPECT_EQ(SaveFileAtomically(m_path, "new content"), EACCES);
  holder.Reset();
  ExpectPreviousIntact();
}

TEST_F(AtomicFileWindows, ReadOnlyTargetIsRefusedAndKept) {
  ASSERT_TRUE(SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(SaveFileAtomically(m_path, "new content"), EACCES);
  SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ExpectPreviousIntact();
}

TEST_F(AtomicFileWindows, MissingFolderAndFolderTargetsAreRefused) {
  EXPECT_EQ(SaveFileAtomically(m_folder / "no\\such\\file", "x"), ENOENT);
  EXPECT_EQ(SaveFileAtomically(m_folder / "sub\\", "x"), EISDIR);
  ExpectPreviousIntact();
}

// Device names name a device in every folder: saving there would write to the device.
TEST_F(AtomicFileWindows, DeviceNamesAreRefused) {
  for (const char* name : {"NUL", "nul.csv", "COM1", "lpt9.bin", "CON .txt"})
    EXPECT_EQ(SaveFileAtomically(m_folder / name, "x"), kSaveTargetNotAFile) << name;
  EXPECT_EQ(SaveFileAtomically("\\\\.\\COM3", "x"), kSaveTargetNotAFile);
  EXPECT_EQ(SaveFileAtomically(m_folder / "console.csv", "x"), 0) << "only the exact names";
  EXPECT_EQ(FilesIn(m_folder.Path()), 2u);
}

}  // namespace
