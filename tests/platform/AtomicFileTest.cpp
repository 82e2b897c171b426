// Atomic file replacement on real files: success, refusal, and what a failure leaves.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>

#include <cerrno>
#include <filesystem>

#include "../files/TestFiles.h"
#include "../support/ChildProcess.h"
#include "platform/AtomicFile.h"
#include "platform/AtomicFileShared.h"

namespace {

std::size_t FilesIn(const std::filesystem::path& folder) {
  std::size_t n = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(AtomicFile, CreatesAndReplacesWithoutLeavingTemporaries) {
  TempFolder folder;
  std::string path = folder / "book.csv";
  ASSERT_EQ(SaveFileAtomically(path, "first"), 0);
  EXPECT_EQ(ReadBytes(path), "first");
  ASSERT_EQ(SaveFileAtomically(path, std::string("sec\0nd", 6)), 0);
  EXPECT_EQ(ReadBytes(path), std::string("sec\0nd", 6));
  ASSERT_EQ(SaveFileAtomically(path, ""), 0);
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(FilesIn(folder.Path()), 1u);
}

TEST(AtomicFile, NewFileGetsModeFromUmask) {
  TempFolder folder;
  mode_t old = ::umask(022);
  ASSERT_EQ(SaveFileAtomically(folder / "a", "x"), 0);
  ::umask(old);
  struct stat st {};
  ASSERT_EQ(::stat((folder / "a").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(AtomicFile, ReplacedFileKeepsItsModeAndLinksStayLinks) {
  TempFolder folder;
  std::string path = folder / "private.csv";
  ASSERT_EQ(SaveFileAtomically(path, "old"), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  ASSERT_EQ(SaveFileAtomically(path, "new"), 0);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  std::string link = folder / "link.csv";
  ASSERT_EQ(::symlink("private.csv", link.c_str()), 0);
  ASSERT_EQ(SaveFileAtomically(link, "through the link"), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(path), "through the link");
  // Followed to the end, even to a file not made yet; never round and round.
  ASSERT_TRUE(::symlink("new.csv", (folder / "dangling").c_str()) == 0 &&
              ::symlink("dangling", (folder / "chain").c_str()) == 0);
  ASSERT_EQ(SaveFileAtomically(folder / "chain", "made"), 0);
  EXPECT_TRUE(ReadBytes(folder / "new.csv") == "made" && std::filesystem::is_symlink(folder / "dangling"));
  ASSERT_EQ(::symlink("loop", (folder / "loop").c_str()), 0);
  EXPECT_EQ(SaveFileAtomically(folder / "loop", "x"), ELOOP);
}

// What a file is beyond its bytes: owner, group, mode, a user attribute, its ACL.
std::string Identity(const std::string& path) {
  struct stat st {};
  char attributes[300] = {};
  const ssize_t note = ::getxattr(path.c_str(), "user.note", attributes, 16);
  const ssize_t acl = ::getxattr(path.c_str(), "system.posix_acl_access", attributes + 16, 284);
  if (::stat(path.c_str(), &st) != 0 || note != 4 || acl < 0) return "unknown";
  return std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid) + " " + std::to_string(st.st_mode) + " " +
         std::string(attributes, 16 + acl);
}

// Saves over files of other owners and groups, as root and as an ordinary user (ids no
// account has, in a child process). What the system lets the saver set is kept; the rest is
// refused, leaving the file as it was, unless the caller allows the owner to change.
TEST(AtomicFile, ReplacedFileKeepsOwnerGroupAclAndAttributes) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root, to make other users' files and to save as them";
  constexpr unsigned kUser = 54321, kOther = 54322, kShared = 54331, kForeign = 54332;  // the user is in kShared
  const struct { unsigned saver, owner, group, mode; bool mayChangeOwner; int result; } cases[] = {
      {0, kUser, kUser, 0600, false, 0},                          // root, another user's private file
      {kUser, kUser, kShared, 0660, false, 0},                    // a user, a file of a shared group
      {kUser, kOther, kShared, 0660, false, kSaveKeepsNoOwner},   // only root gives files away
      {kUser, kOther, kShared, 0660, true, 0},                    // allowed: all but the owner kept
      {kUser, kUser, kForeign, 0666, false, kSaveKeepsNoOwner}};  // a group the user is not in
  TempFolder folder;
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);
  const std::string path = folder / "book.csv";
  for (const auto& c : cases) {
    std::filesystem::remove(path);  // with the ACL of the case before
    WriteBytes(path, "old");
    ASSERT_TRUE(::chown(path.c_str(), c.owner, c.group) == 0 && ::chmod(path.c_str(), c.mode) == 0 &&
                ::setxattr(path.c_str(), "user.note", "kept", 4, 0) == 0);
    ASSERT_EQ(std::system(("setfacl -m u:54323:r " + path).c_str()), 0) << "setfacl (Debian's acl) is needed";
    std::string expected = Identity(path);
    if (c.mayChangeOwner) expected = std::to_string(c.saver) + expected.substr(expected.find(':'));
    const std::string report = RunInChild([&] {
      const gid_t groups[] = {kShared};
      if (c.saver != 0 && (::setgroups(1, groups) != 0 || ::setgid(c.saver) != 0 || ::setuid(c.saver) != 0))
        return std::string();
      return std::to_string(SaveFileAtomically(path, "new", {.mayChangeOwner = c.mayChangeOwner}));
    });
    EXPECT_EQ(report + " " + Identity(path) + " " + ReadBytes(path),
              std::to_string(c.result) + " " + expected + (c.result == 0 ? " new" : " old")) << c.saver;
  }
}

TEST(AtomicFile, FailureInReadOnlyFolderLeavesThePreviousFileIntact) {
  TempFolder folder;
  std::string path = folder / "book.csv";
  const std::string previous = "0001,\x96\xBC\x91\x4F,,1,,,1\r\n";
  ASSERT_EQ(SaveFileAtomically(path, previous), 0);
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0555), 0);
  EXPECT_EQ(RunWithoutPermissionOverride([&] { return SaveFileAtomically(path, "new content"); }),
            EACCES);
  ::chmod(folder.Path().c_str(), 0755);
  EXPECT_EQ(ReadBytes(path), previous);
  EXPECT_EQ(FilesIn(folder.Path()), 1u);
}

TEST(AtomicFile, ReadOnlyFileIsNotReplaced) {
  TempFolder folder;
  std::string path = folder / "book.csv";
  ASSERT_EQ(SaveFileAtomically(path, "kept"), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(RunWithoutPermissionOverride([&] { return SaveFileAtomically(path, "new"); }), EACCES);
  EXPECT_EQ(ReadBytes(path), "kept");
}

// A file-size limit makes the write itself fail, for root too (who ignores folder modes).
TEST(AtomicFile, FailedWriteLeavesThePreviousFileIntact) {
  TempFolder folder;
  std::string path = folder / "book.csv";
  const std::string previous(1000, 'p');
  ASSERT_EQ(SaveFileAtomically(path, previous), 0);

  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  int error = SaveFileAtomically(path, std::string(100000, 'n'));
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(ReadBytes(path), previous);
  EXPECT_EQ(FilesIn(folder.Path()), 1u);
}

TEST(AtomicFile, RefusesMissingFolderAndFolderTargets) {
  TempFolder folder;
  EXPECT_EQ(SaveFileAtomically(folder / "no/such/file", "x"), ENOENT);
  std::filesystem::create_directory(folder.Path() / "sub");
  EXPECT_NE(SaveFileAtomically(folder / "sub", "x"), 0);
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "sub"));
  EXPECT_EQ(SaveFileAtomically(folder / "sub/", "x"), EISDIR);
  EXPECT_EQ(FilesIn(folder.Path()), 1u);
}

// What is not a regular file is refused before anything is written: the FIFO stays a
// FIFO (and is never opened, which would block), and nothing new appears beside it.
TEST(AtomicFile, RefusesTargetsThatAreNotRegularFiles) {
  TempFolder folder;
  const std::string fifo = folder / "pipe.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::symlink("pipe.csv", (folder / "link.csv").c_str()), 0);
  EXPECT_EQ(SaveFileAtomically(fifo, "x"), kSaveTargetNotAFile);
  EXPECT_EQ(SaveFileAtomically(folder / "link.csv", "x"), kSaveTargetNotAFile);
  struct stat st {};
  ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(FilesIn(folder.Path()), 2u);
  // A character device, by an unprivileged process that could not replace it anyway: the
  // answer is the refusal, not the EACCES of a temporary file it may not create in /dev.
  const std::string report = RunInChild([] {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return std::string();
    return std::to_string(SaveFileAtomically("/dev/null", "x"));
  });
  EXPECT_EQ(report, std::to_string(kSaveTargetNotAFile));
}

TEST(AtomicFile, SavesUnderTheLongestLegalName) {
  TempFolder folder;
  const std::string path = folder / std::string(255, 'n');
  ASSERT_EQ(SaveFileAtomically(path, "first"), 0);
  ASSERT_EQ(SaveFileAtomically(path, "second"), 0);
  EXPECT_EQ(ReadBytes(path), "second");
  EXPECT_EQ(FilesIn(folder.Path()), 1u);
}

// Only our own names give a writer: of the fixed short form, or the longer one of earlier
// versions for the target being saved.
TEST(AtomicFile, TemporaryNamesAreShortAndRecognisedOnlyWhenOurs) {
  const std::string longest = platform::TemporaryFileName(4294967295u, 0xFFFFFFFFu);
  EXPECT_LE(longest.size(), 36u);
  EXPECT_EQ(platform::WriterOfTemporary(longest, "book.csv"), 4294967295u);
  EXPECT_EQ(platform::WriterOfTemporary(".book.csv.tmp4242.7.3fa9c", "book.csv"), 4242u);
  for (const char* name : {".qvbook-12-0000000g.tmp", ".qvbook-0-0123abcd.tmp", ".qvbook-12-0123abc.tmp",
                           ".qvbook-12-0123abcd.tmp~", ".other.csv.tmp4242.7.3fa9c", ".book.csv.tmp4242.7."})
    EXPECT_EQ(platform::WriterOfTemporary(name, "book.csv"), std::nullopt) << name;
}

}  // namespace
