// The private folder on Windows: where it lies, the hidden database files, and paths in
// the ANSI code page reaching SQLite intact.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "../files/TestFiles.h"
#include "platform/PrivateFolder.h"
#include "platform/WindowsApi.h"

namespace {

TEST(PrivateFolderWindows, LiesInTheUsersTemporaryFolder) {
  char temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
  const std::string folder = platform::UserPrivateFolderPath();
  EXPECT_EQ(folder, std::string(temp) + "qvbook");
  EXPECT_TRUE(platform::EnsurePrivateFolder(folder));
  EXPECT_TRUE(platform::EnsurePrivateFolder(folder)) << "an existing folder is fine";
}

TEST(PrivateFolderWindows, RefusesAFileWhereTheFolderShouldBe) {
  TempFolder scratch;
  WriteBytes(scratch / "taken", "x");
  EXPECT_EQ(platform::EnsurePrivateFolder(scratch / "taken").problem, platform::FolderProblem::NotAFolder);
  EXPECT_EQ(platform::EnsurePrivateFolder(scratch / "missing/qvbook").problem,
            platform::FolderProblem::MissingParent);
}

TEST(PrivateFolderWindows, DatabaseFilesAreNewAndHidden) {
  TempFolder scratch;
  const std::string path = scratch / "temp0.mdb";
  ASSERT_TRUE(platform::CreatePrivateFile(path));
  const DWORD attributes = GetFileAttributesA(path.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(platform::CreatePrivateFile(path)) << "an existing file is never reused";
  EXPECT_TRUE(platform::RemoveFile(path)) << "hidden files can be deleted";
  EXPECT_FALSE(platform::FileExists(path));
  EXPECT_FALSE(platform::RemoveFile(path));
}

TEST(PrivateFolderWindows, UniqueFoldersAreRemovedWithHiddenAndReadOnlyFiles) {
  TempFolder scratch;
  const std::string first = platform::MakeUniqueFolder(scratch.Path().string(), "private-");
  const std::string second = platform::MakeUniqueFolder(scratch.Path().string(), "private-");
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_NE(first, second);
  ASSERT_TRUE(platform::CreatePrivateFile(first + "\\temp0.mdb"));
  WriteBytes(first + "\\locked", "x");
  SetFileAttributesA((first + "\\locked").c_str(), FILE_ATTRIBUTE_READONLY);
  platform::RemoveFolder(first);
  EXPECT_FALSE(platform::FileExists(first));
  EXPECT_TRUE(platform::FileExists(second));
}

// A user name outside ASCII puts such bytes into the temporary path: SQLite must still
// find the file the other calls made.
TEST(PrivateFolderWindows, DatabaseInAFolderNamedInTheAnsiCodePage) {
  std::string name;
  if (GetACP() == 932) name = "\x96\xBC\x91\x4F";  // 名前
  else if (GetACP() == 1252) name = "Ren\xE9";
  else GTEST_SKIP() << "no sample name for code page " << GetACP();
  TempFolder scratch;
  const std::string folder = scratch / name;
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string path = folder + "\\temp0.mdb";
  ASSERT_TRUE(platform::CreatePrivateFile(path));

  sqlite3* connection = nullptr;
  const int opened = sqlite3_open_v2(platform::SqliteFileName(path).c_str(), &connection,
                                     SQLITE_OPEN_READWRITE, nullptr);
  EXPECT_EQ(opened, SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(connection, "create table T (A integer)", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(connection);
  WIN32_FILE_ATTRIBUTE_DATA data {};
  ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
  EXPECT_GT(data.nFileSizeLow, 0u) << "SQLite wrote into the file made for it";
  EXPECT_FALSE(platform::FileExists(folder + "\\" + "temp0.mdb-journal"));
}

}  // namespace
