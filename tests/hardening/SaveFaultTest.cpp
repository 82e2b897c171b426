// Saves that fail half-way, with real files and processes: a child process whose file
// size limit runs out while writing, and a folder it may not write into. The previous file
// must stay byte for byte as it was, no temporary file may be left, and the failure must
// be reported (by result, and by the command-line tool's exit code and message).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include "../phonebook/StoreTestSupport.h"
#include "../support/ChildProcess.h"
#include "files/DocumentFile.h"

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
        if (store.BuildImage(image) != StoreOk) return "build failed";
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

INSTANTIATE_TEST_SUITE_P(Targets, SaveFault, ::testing::Values(".csv", ".txt", ".bin"),
                         [](const auto& info) { return std::string(info.param + 1); });

}  // namespace
