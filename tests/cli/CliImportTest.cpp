// qvbook-cli import: the built binary on real files, each duplicate answer against its
// golden phonebook, the messages, and the exit codes.
#include <string>
#include <vector>

#include "CliRunner.h"

namespace {

const std::string kData = QVBOOK_TEST_DATA;
const std::string kBook = kData + "/import-book.csv";
const std::string kRows = kData + "/import-rows.csv";
const std::string kDoneMessage = "インポートの終了\nCSV ファイルのインポートが終了しました。\n";
const std::string kLimitMessage =
    "データの登録\nデータの登録件数が1000件になりました。\n\nインポートを終了します。\n";

using CliImportTest = CliTest;

TEST_F(CliImportTest, EachDuplicateAnswerGivesItsPhonebook) {
  struct Case {
    std::vector<std::string> option;
    std::string expected;
  };
  for (const Case& c : {Case{{}, "skip"},
                        Case{{"--duplicates", "skip"}, "skip"},
                        Case{{"--duplicates", "overwrite"}, "overwrite"},
                        Case{{"--duplicates=add"}, "add"}}) {
    std::vector<std::string> args{"import", kBook, kRows, m_folder / "out.csv"};
    args.insert(args.end(), c.option.begin(), c.option.end());
    CliRun run = Cli(args);
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind(kDoneMessage, 0), 0u) << run.out;
    EXPECT_EQ(ReadBytes(m_folder / "out.csv"),
              ReadBytes(kData + "/import-rows." + c.expected + ".csv"))
        << c.expected;
  }
}

TEST_F(CliImportTest, TabSeparatedFileAddsNothingAndStillFinishes) {
  WriteBytes(m_folder / "tabbed.csv", "0005\tx\t\t1\t\t\t1\r\n\tz\t\t2\r\n");
  CliRun run = Cli({"import", kBook, m_folder / "tabbed.csv", m_folder / "out.csv"});
  EXPECT_EQ(run.exit, 0);
  EXPECT_EQ(run.out.rfind(kDoneMessage, 0), 0u);
  EXPECT_EQ(ReadBytes(m_folder / "out.csv"), ReadBytes(kBook));
}

TEST_F(CliImportTest, LimitWarnsAndKeepsWhatWasAdded) {
  std::string full;
  for (int n = 1; n <= 999; ++n) full += std::to_string(n) + ",n,,1\r\n";
  WriteBytes(m_folder / "full.csv", full);
  WriteBytes(m_folder / "rows.csv", "0001,a,,1\r\n0002,b,,1\r\n");
  CliRun run = Cli({"import", m_folder / "full.csv", m_folder / "rows.csv", m_folder / "out.csv",
                    "--duplicates", "add"});
  EXPECT_EQ(run.exit, 0);
  EXPECT_EQ(run.err, kLimitMessage);
  EXPECT_EQ(run.out.find(kDoneMessage), std::string::npos);
  const std::string out = ReadBytes(m_folder / "out.csv");
  EXPECT_NE(out.find("1000,a,,1,,,1\r\n"), std::string::npos);
  EXPECT_EQ(out.find(",b,"), std::string::npos);
}

TEST_F(CliImportTest, MissingImportFileIs66AndWritesNothing) {
  CliRun run = Cli({"import", kBook, m_folder / "absent.csv", m_folder / "out.csv"});
  EXPECT_EQ(run.exit, 66);
  EXPECT_EQ(run.err.rfind("インポートファイルのオープン\nファイルのオープンに失敗しました。\n\n"
                          "インポートを中断します。\n",
                          0),
            0u)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(m_folder / "out.csv"));
}

TEST_F(CliImportTest, BadBookOrOutputKeepsTheDocumentsExitCodes) {
  EXPECT_EQ(Cli({"import", m_folder / "absent.csv", kRows, m_folder / "out.csv"}).exit, 66);
  WriteBytes(m_folder / "dup.csv", "1,a\r\n1,b\r\n");
  EXPECT_EQ(Cli({"import", m_folder / "dup.csv", kRows, m_folder / "out.csv"}).exit, 65);
  EXPECT_EQ(Cli({"import", kBook, kRows, m_folder / "no/such/out.csv"}).exit, 73);
  EXPECT_FALSE(std::filesystem::exists(m_folder / "out.csv"));
}

TEST_F(CliImportTest, WrongArgumentsAreUsageErrors) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"import"},
           {"import", kBook, kRows},
           {"import", kBook, kRows, "out.csv", "extra"},
           {"import", kBook, kRows, "out.csv", "--duplicates"},
           {"import", kBook, kRows, "out.csv", "--duplicates", "merge"},
           {"import", kBook, kRows, "out.csv", "--force"}}) {
    CliRun run = Cli(args);
    EXPECT_EQ(run.exit, 64) << ::testing::PrintToString(args);
    EXPECT_NE(run.err.find("usage: qvbook-cli import BOOK CSV OUT"), std::string::npos);
  }
}

}  // namespace
