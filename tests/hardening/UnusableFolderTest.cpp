// The command-line tool when its work folder cannot be used: it refuses as when no store
// is free, and then names the folder and says what is wrong with it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "../files/TestFiles.h"
#include "../support/ChildProcess.h"
#include "../support/ScopedEnv.h"

namespace {

const std::string kRefusal =
    "ファイルのオープン\nこれ以上ファイルを開けません。\n\n"
    "現在開いているファイルを閉じてから、再度「開く」を選択してください。\n";

struct FolderCase {
  const char* runtime;  // XDG_RUNTIME_DIR, inside the scratch folder
  const char* reason;
};

class UnusableFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(UnusableFolder, IsNamedWithItsReason) {
  TempFolder scratch;
  WriteBytes(scratch / "book.csv", "0001,a,\xB1,1,,,1\r\n");
  mkdir((scratch / "link").c_str(), 0700);
  ASSERT_EQ(symlink(scratch.Path().c_str(), (scratch / "link/qvbook").c_str()), 0);
  mkdir((scratch / "file").c_str(), 0700);
  WriteBytes(scratch / "file/qvbook", "");
  const std::string runtime = scratch / GetParam().runtime;
  ScopedEnv environment("XDG_RUNTIME_DIR", runtime.c_str());
  // A document and an image alike: both need the store.
  for (const char* input : {"book.csv", "book.bin"}) {
    const ProgramResult run = RunProgram({QVBOOK_CLI, "show", scratch / input});
    EXPECT_EQ(run.exitCode, 73) << run.errorText;
    EXPECT_EQ(run.errorText, kRefusal + "作業用フォルダ " + runtime + "/qvbook を使用できません（" +
                                 GetParam().reason + "）。\n");
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, UnusableFolder,
                         ::testing::Values(FolderCase{"gone", "上位のフォルダがありません"},
                                           FolderCase{"link", "シンボリックリンクです"},
                                           FolderCase{"file", "フォルダではありません"}),
                         [](const auto& info) { return std::string(info.param.runtime); });

}  // namespace
