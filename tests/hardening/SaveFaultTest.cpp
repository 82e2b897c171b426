// Saves that fail half-way, with real files and processes: a child process whose file
// size limit runs out while writing, a folder it may not write into, and a save stopped
// half-way and then interrupted or killed. The previous file must stay byte for byte as it
// was, no temporary file may be left, and the failure must be reported (by result, and by
// the command-line tool's exit code and message).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "../phonebook/StoreTestSupport.h"
#include "../support/ChildProcess.h"
#include "files/DocumentFile.h"
#include "platform/AtomicFile.h"

namespace {

constexpr const char* kPrevious = "0001,Old,\xB1,111,,,1\r\n";
constexpr long long kSmallLimit = 2000;  // far below a full phonebook or an image

// A full phonebook as a document: 1000 entries.
std::string FullDocument() {
  std::string text;
  for (int n = 1; n <= kMaxEntries; ++n)
    text += std::to_string(n) + ",Name " + std::to_string(n) + ",\xB6\xC4\xB3,0312345678,,,3\r\n";
  return text;
}

std::vector<std::string> FolderContents(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(folder))
    names.push_back(item.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class SaveFault : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    m_strTarget = m_folder / (std::string("book") + GetParam());
    WriteBytes(m_strTarget, kPrevious);
    WriteBytes(m_strSource, FullDocument());
    m_before = FolderContents(m_folder.Path());
  }

  // Loads the full phonebook, then (in the child only) applies `fault` and saves over the
  // target; reports the save's status and errno.
  std::string SaveInChild(const std::function<bool()>& fault) {
    return RunInChild([&]() -> std::string {
      auto environment = StoreEnvironment::CreateShared(m_folder / "stores");
      CDbPhoneCtrl store(*environment);
      if (LoadDocument(store, m_strSource).status != DocumentLoadResult::Ok) return "load failed";
      if (!fault()) return "fault not set";
      const std::string target = m_strTarget;
      int status, error;
      if (target.ends_with(".bin")) {
        PhonebookImage image{};
        if (store.BuildImage(image) != StoreResult::Ok) return "build failed";
        const ImageFileResult written = WriteImageFile(target, image);
        status = written.status == ImageFileResult::WriteFailed;
        error = written.osError;
      } else {
        const DocumentSaveResult saved = SaveDocument(store, target);
        status = saved.status == DocumentSaveResult::WriteFailed;
        error = saved.osError;
      }
      return (status ? "failed " : "saved ") + std::to_string(error);
    });
  }

  void ExpectPreviousFileKept() {
    EXPECT_EQ(ReadBytes(m_strTarget), kPrevious);
    std::filesystem::remove_all(m_folder / "stores");
    EXPECT_EQ(FolderContents(m_folder.Path()), m_before) << "a temporary file was left";
  }

  TempFolder m_folder;
  std::string m_strSource = m_folder / "full.csv";
  std::string m_strTarget;
  std::vector<std::string> m_before;
};

TEST_P(SaveFault, RunningOutOfFileSizeKeepsThePreviousFile) {
  const std::string report = SaveInChild([] {
    const rlimit limit{kSmallLimit, kSmallLimit};
    return signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &limit) == 0;
  });
  EXPECT_EQ(report, "failed " + std::to_string(EFBIG));
  ExpectPreviousFileKept();
}

TEST_P(SaveFault, ReadOnlyFolderKeepsThePreviousFile) {
  ASSERT_EQ(chmod(m_folder.Path().c_str(), 0555), 0);
  const std::string report = SaveInChild([] { return DropPermissionOverride(); });
  chmod(m_folder.Path().c_str(), 0700);
  EXPECT_EQ(report, "failed " + std::to_string(EACCES));
  ExpectPreviousFileKept();
}

// The command-line tool, whose store also lives in files under the same limit: however
// early the writing fails, it must not report success or touch the previous file.
TEST_P(SaveFault, ToolOutOfFileSizeReportsFailureAndKeepsThePreviousFile) {
  const ProgramResult run =
      RunProgram({QVBOOK_CLI, "convert", m_strSource, m_strTarget}, {.maxFileBytes = kSmallLimit});
  EXPECT_EQ(run.exitCode, 74) << run.errorText;
  EXPECT_NE(run.errorText.find("\xE6\x9B\xB8\xE8\xBE\xBC"), std::string::npos) << run.errorText;  // 書込
  ExpectPreviousFileKept();
}

TEST_P(SaveFault, ToolInReadOnlyFolderReportsFailureAndKeepsThePreviousFile) {
  ASSERT_EQ(chmod(m_folder.Path().c_str(), 0555), 0);
  const ProgramResult run = RunProgram({QVBOOK_CLI, "convert", m_strSource, m_strTarget},
                                       {.withoutOverride = true});
  chmod(m_folder.Path().c_str(), 0700);
  EXPECT_EQ(run.exitCode, 73) << run.errorText;
  ExpectPreviousFileKept();
}

// Interrupts: a child process saving a large file is caught and stopped while its temporary
// file exists, then signalled. Which moment of the write or the sync it is caught in does
// not matter; only that the target has not been replaced yet.

std::vector<std::string> TemporariesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names = FolderContents(folder);
  std::erase_if(names, [](const std::string& name) { return !name.starts_with(".qvbook-"); });
  return names;
}

class StoppedSave {
 public:
  // `prepare` runs in the child before it saves `bytes` over `target`.
  StoppedSave(const std::string& target, const std::string& bytes, void (*prepare)() = nullptr) {
    const auto folder = std::filesystem::path(target).parent_path();
    const std::string original = ReadBytes(target);
    for (int attempt = 0; attempt < 20 && !m_bCaught; ++attempt) {
      if (attempt > 0) WriteBytes(target, original);  // a save that got through: start over
      const std::vector<std::string> before = TemporariesIn(folder);
      if ((m_pid = fork()) == 0) {
        if (prepare) prepare();
        _exit(SaveFileAtomically(target, bytes) == 0 ? 0 : 1);
      }
      int status = 0;
      bool ended = false;  // reaped: its id must not be signalled any more
      while (!(ended = waitpid(m_pid, &status, WNOHANG) != 0) && TemporariesIn(folder) == before) {}
      if (ended) continue;  // it finished first: try again
      kill(m_pid, SIGSTOP);
      if (waitpid(m_pid, &status, WUNTRACED) <= 0 || !WIFSTOPPED(status)) continue;
      m_bCaught = TemporariesIn(folder) != before;
      if (!m_bCaught) Finish(SIGCONT);  // stopped after its rename: try again
    }
  }
  ~StoppedSave() {
    if (m_bCaught) Finish(SIGKILL);
  }
  bool Caught() const { return m_bCaught; }

  // Sends `signal`, lets the child go on, and returns how it ended.
  int Finish(int signal) {
    kill(m_pid, signal);
    kill(m_pid, SIGCONT);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_bCaught = false;
    return status;
  }

 private:
  pid_t m_pid = -1;
  bool m_bCaught = false;
};

const std::string kLargeFile(64 << 20, 'n');  // takes a while to write and sync

class SaveInterrupt : public ::testing::Test {
 protected:
  void SetUp() override { WriteBytes(m_strTarget, kPrevious); }
  TempFolder m_folder;
  std::string m_strTarget = m_folder / "book.csv";
};

// A signal that ends the process takes the temporary file with it; a process that handles
// the signal itself finishes its save.
TEST_F(SaveInterrupt, LeavesTheOldFileOrTheNewOneAndNoTemporary) {
  for (int signal : {SIGINT, SIGTERM}) {
    StoppedSave save(m_strTarget, kLargeFile);
    ASSERT_TRUE(save.Caught());
    const int status = save.Finish(signal);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(ReadBytes(m_strTarget), kPrevious);
    EXPECT_EQ(FolderContents(m_folder.Path()), std::vector<std::string>{"book.csv"});
  }
  StoppedSave handled(m_strTarget, kLargeFile, [] { signal(SIGINT, [](int) {}); });
  ASSERT_TRUE(handled.Caught());
  EXPECT_EQ(handled.Finish(SIGINT), 0);
  EXPECT_EQ(std::filesystem::file_size(m_strTarget), kLargeFile.size());
  EXPECT_EQ(FolderContents(m_folder.Path()), std::vector<std::string>{"book.csv"});
}

// A process killed outright leaves its temporary file; the next save beside it removes it
// at once, but never one of a live process, nor anything not ours.
TEST_F(SaveInterrupt, LeftoversOfGoneProcessesAreRemovedByTheNextSave) {
  std::vector<std::string> dead;
  {
    StoppedSave killed(m_strTarget, kLargeFile);
    ASSERT_TRUE(killed.Caught());
    dead = TemporariesIn(m_folder.Path());
  }  // killed here
  ASSERT_EQ(dead.size(), 1u);
  StoppedSave live(m_strTarget, kLargeFile);
  ASSERT_TRUE(live.Caught());
  // Of the dead process too, but not ours: another form, a link, another user's file.
  const std::string pid = dead[0].substr(8, dead[0].find('-', 8) - 8);
  WriteBytes(m_folder / (dead[0] + ".bak"), "x");
  ASSERT_EQ(symlink("book.csv", (m_folder / (".qvbook-" + pid + "-00000000.tmp")).c_str()), 0);
  if (geteuid() == 0) {
    WriteBytes(m_folder / (".qvbook-" + pid + "-11111111.tmp"), "x");
    ASSERT_EQ(chown((m_folder / (".qvbook-" + pid + "-11111111.tmp")).c_str(), 12345, 12345), 0);
  }
  std::vector<std::string> kept = FolderContents(m_folder.Path());

  ASSERT_EQ(SaveFileAtomically(m_strTarget, "new"), 0);
  std::erase(kept, dead[0]);
  EXPECT_EQ(FolderContents(m_folder.Path()), kept);
}

// The command-line tool's answer to a target that is no file: the editor's write message
// and a line saying why, "output cannot be created", and the FIFO left as it was.
TEST(SaveTarget, ToolRefusesAFifoAndALinkToOne) {
  TempFolder folder;
  const std::string fifo = folder / "pipe.csv";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(symlink(fifo.c_str(), (folder / "link.bin").c_str()), 0);
  WriteBytes(folder / "book.csv", kPrevious);
  for (const std::string& target : {fifo, folder / "link.bin"}) {
    const ProgramResult run = RunProgram({QVBOOK_CLI, "convert", folder / "book.csv", target});
    EXPECT_EQ(run.exitCode, 73);
    EXPECT_NE(run.errorText.find(target + " はファイルではない（デバイスやパイプなど）ため、書き込めません。"),
              std::string::npos) << run.errorText;
  }
  struct stat st {};
  EXPECT_TRUE(stat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
}

// The folder's sync after the rename fails (strace makes the system call fail): the file is
// in place, and the tool says its durability is not assured and fails.
TEST(SaveTarget, ToolReportsAFolderThatCouldNotBeSynced) {
  if (access("/usr/bin/strace", X_OK) != 0) GTEST_SKIP() << "strace (Debian's strace) injects the fault";
  TempFolder folder;
  const std::string target = folder / "book.csv";
  WriteBytes(target, kPrevious);
  WriteBytes(folder / "full.csv", FullDocument());
  // LeakSanitizer cannot work under a tracer: a sanitized build checks for leaks elsewhere.
  const char* sanitizerOptions = std::getenv("ASAN_OPTIONS");
  const std::string noLeakCheck =
      "ASAN_OPTIONS=" + std::string(sanitizerOptions ? sanitizerOptions : "") + ":detect_leaks=0";
  const ProgramResult run =
      RunProgram({"/usr/bin/strace", "-f", "-qq", "-o/dev/null", "-E", noLeakCheck, "-P", folder.Path(), "-e",
                  "inject=fsync:error=EIO", QVBOOK_CLI, "convert", folder / "full.csv", target});
  EXPECT_EQ(run.exitCode, 74);
  EXPECT_NE(run.errorText.find(target + " は保存しましたが、ディスクへの書き込みが完了したことを確認できませんでした。"),
            std::string::npos) << run.errorText;
  EXPECT_NE(ReadBytes(target), kPrevious) << "the file is in place";
}

INSTANTIATE_TEST_SUITE_P(Targets, SaveFault, ::testing::Values(".csv", ".txt", ".bin"),
                         [](const auto& info) { return std::string(info.param + 1); });

}  // namespace
