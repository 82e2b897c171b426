// The private folder: where it lies, what it refuses, and the modes of what it holds.
#include "platform/PrivateFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "../files/TestFiles.h"
#include "../support/ChildProcess.h"
#include "../support/ScopedEnv.h"

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return info.st_mode & 0777;
}

struct LocationCase {
  const char* runtime;
  const char* tmpdir;
  std::string expected;  // "<uid>" stands for the user id
};

class UserFolderLocation : public ::testing::TestWithParam<LocationCase> {};

TEST_P(UserFolderLocation, FollowsTheEnvironment) {
  ScopedEnv runtime("XDG_RUNTIME_DIR", GetParam().runtime);
  ScopedEnv tmpdir("TMPDIR", GetParam().tmpdir);
  std::string expected = GetParam().expected;
  const auto uid = expected.find("<uid>");
  if (uid != std::string::npos) expected.replace(uid, 5, std::to_string(geteuid()));
  EXPECT_EQ(platform::UserPrivateFolderPath(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserFolderLocation,
    ::testing::Values(LocationCase{"/run/user/7", "/var/tmp", "/run/user/7/qvbook"},
                      LocationCase{"/run/user/7/", nullptr, "/run/user/7/qvbook"},
                      LocationCase{"relative", "/var/tmp", "/var/tmp/qvbook-<uid>"},
                      LocationCase{nullptr, "/var/tmp", "/var/tmp/qvbook-<uid>"},
                      LocationCase{nullptr, nullptr, "/tmp/qvbook-<uid>"},
                      LocationCase{"", "", "/tmp/qvbook-<uid>"}));

TEST(PrivateFolder, IsCreatedClosedToOthers) {
  TempFolder scratch;
  const std::string folder = scratch / "mine";
  ASSERT_TRUE(platform::EnsurePrivateFolder(folder));
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_TRUE(platform::EnsurePrivateFolder(folder));  // already there: fine
  EXPECT_FALSE(platform::EnsurePrivateFolder(""));
}

TEST(PrivateFolder, AnOpenFolderOfOursIsClosed) {
  TempFolder scratch;
  const std::string folder = scratch / "open";
  ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
  chmod(folder.c_str(), 0777);
  ASSERT_TRUE(platform::EnsurePrivateFolder(folder));
  EXPECT_EQ(ModeOf(folder), 0700u);
}

// What stands in the way, and the reason given. Checked without root's override, so that
// modes refuse root as they refuse everybody else.
TEST(PrivateFolder, SaysWhyAFolderCannotBeUsed) {
  using platform::FolderProblem;
  TempFolder s;
  ASSERT_EQ(mkdir((s / "ro").c_str(), 0500), 0);
  ASSERT_EQ(symlink(s.Path().c_str(), (s / "link").c_str()), 0);
  WriteBytes(s / "file", "x");
  const std::pair<std::string, FolderProblem> cases[] = {
      {s / "gone/qvbook", FolderProblem::MissingParent}, {s / "ro/qvbook", FolderProblem::NotWritable},
      {s / "ro", FolderProblem::NotWritable},            {s / "link", FolderProblem::SymbolicLink},
      {s / "file", FolderProblem::NotAFolder}};
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(RunWithoutPermissionOverride(
                  [&] { return static_cast<int>(platform::EnsurePrivateFolder(path).problem); }),
              static_cast<int>(expected))
        << path;
  }
}

TEST(PrivateFolder, RefusesAFolderOfAnotherUser) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to hand a folder to another user";
  TempFolder scratch;
  const std::string folder = scratch / "theirs";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  ASSERT_EQ(chown(folder.c_str(), 12345, 12345), 0);
  EXPECT_EQ(platform::EnsurePrivateFolder(folder).problem, platform::FolderProblem::OtherOwner);
}

TEST(PrivateFile, IsCreatedOnceForTheOwnerAndNeverThroughALink) {
  TempFolder scratch;
  const std::string file = scratch / "temp0.mdb";
  ASSERT_TRUE(platform::CreatePrivateFile(file));
  EXPECT_EQ(ModeOf(file), 0600u);
  EXPECT_FALSE(platform::CreatePrivateFile(file));

  const std::string victim = scratch / "victim";
  const std::string link = scratch / "temp1.mdb";
  ASSERT_EQ(symlink(victim.c_str(), link.c_str()), 0);
  EXPECT_FALSE(platform::CreatePrivateFile(link));
  EXPECT_FALSE(std::filesystem::exists(victim));
}

TEST(UniqueFolder, IsNewEachTimeAndRemovedWithItsFiles) {
  TempFolder scratch;
  const std::string parent = scratch.Path().string();
  const std::string a = platform::MakeUniqueFolder(parent, "private-");
  const std::string b = platform::MakeUniqueFolder(parent, "private-");
  ASSERT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(ModeOf(a), 0700u);
  WriteBytes(a + "/temp0.mdb", "x");
  platform::RemoveFolder(a);
  EXPECT_FALSE(platform::FileExists(a));
  EXPECT_TRUE(platform::FileExists(b));
  EXPECT_TRUE(platform::MakeUniqueFolder(scratch / "missing", "x").empty());
}

}  // namespace
