// The command-line tool when its work folder cannot be used: it refuses as when no store
// is free, and then names the folder and says what is wrong with it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "../files/TestFiles.h"
#include "../support/ChildProcess.h"
#include "../support/ScopedEnv.h"

namespace {

// Each case sets XDG_RUNTIME_DIR to a folder of the scratch folder: missing, holding a link
// named qvbook, holding a file named qvbook. A document and an image alike need the store.
TEST(UnusableFolder, IsNamedWithItsReasonAfterTheRefusal) {
  TempFolder scratch;
  WriteBytes(scratch / "book.csv", "0001,a,\xB1,1,,,1\r\n");
  ASSERT_EQ(mkdir((scratch / "link").c_str(), 0700), 0);
  ASSERT_EQ(symlink(scratch.Path().c_str(), (scratch / "link/qvbook").c_str()), 0);
  ASSERT_EQ(mkdir((scratch / "file").c_str(), 0700), 0);
  WriteBytes(scratch / "file/qvbook", "");
  for (const auto& [runtime, reason] : {std::pair{"gone", "上位のフォルダがありません"},
                                        std::pair{"link", "シンボリックリンクです"},
                                        std::pair{"file", "フォルダではありません"}}) {
    ScopedEnv environment("XDG_RUNTIME_DIR", (scratch / runtime).c_str());
    for (const char* input : {"book.csv", "book.bin"}) {
      const ProgramResult run = RunProgram({QVBOOK_CLI, "show", scratch / input});
      EXPECT_EQ(run.exitCode, 73) << run.errorText;
      EXPECT_EQ(run.errorText, "ファイルのオープン\nこれ以上ファイルを開けません。\n\n"
                               "現在開いているファイルを閉じてから、再度「開く」を選択してください。\n"
                               "作業用フォルダ " + scratch / runtime + "/qvbook を使用できません（" +
                                   reason + "）。\n");
    }
  }
}

}  // namespace
