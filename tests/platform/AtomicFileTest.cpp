// Atomic file replacement on real files: success, refusal, and what a failure leaves.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
