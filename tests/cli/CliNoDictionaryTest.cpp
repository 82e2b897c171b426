// qvbook-cli readings without its dictionary (QVBOOK_READING_DIC names an empty place):
// nothing is written, the editor's message goes to stderr, the exit status is 69.
#include <filesystem>

#include "../support/ScopedEnv.h"
#include "CliRunner.h"

namespace {

TEST_F(CliTest, ReadingsWithoutTheDictionaryWritesNothing) {
  const std::string noFolder = m_folder / "no-dictionary";
  ScopedEnv noDictionary("QVBOOK_READING_DIC", noFolder.c_str());
  const std::string untouched = m_folder / "untouched.csv";
  CliRun run = Cli({"readings", std::string(QVBOOK_TEST_DATA) + "/readings-book.csv", untouched});
  EXPECT_EQ(run.exit, 69);
  EXPECT_EQ(run.err, "読みの候補\n読みの辞書が見つかりませんでした。\n\n読みの候補は表示できません。"
                     "読みは手で入力してください。\n");
  EXPECT_FALSE(std::filesystem::exists(untouched));
}

}  // namespace
