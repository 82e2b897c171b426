// qvbook-cli as scripts use it: the built binary run on real files, checking exit codes,
// the messages on stderr and the files and tables it writes.
#include <string>
#include <vector>

#include "CliRunner.h"

namespace {

const std::string kData = QVBOOK_TEST_DATA;
const std::string kFilesData = QVBOOK_FILES_TEST_DATA;

const std::string kInvalidMessage =
    "ファイルからデータの読出し\nファイル形式が不正です。\n\n指定したファイルをご確認ください。\n";
const std::string kWriteMessage = "ファイルへのデータの書込み\nデータの書込みに失敗しました。\n";

TEST_F(CliTest, HelpAndUsage) {
  CliRun help = Cli({"--help"});
  EXPECT_EQ(help.exit, 0);
  EXPECT_NE(help.out.find("qvbook-cli show FILE"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("qvbook-cli convert IN OUT"), std::string::npos);
  // A command's own usage, never a file named "--help".
  for (const char* command : {"show", "import", "download"}) {
    CliRun usage = Cli({command, "--help"});
    EXPECT_EQ(usage.exit, 0) << command << ": " << usage.err;
    EXPECT_EQ(usage.out.rfind(std::string("usage: qvbook-cli ") + command + " ", 0), 0u) << usage.out;
  }
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"show"}, {"show", "a", "b"}, {"convert", "a"}}) {
    CliRun run = Cli(args);
    EXPECT_EQ(run.exit, 64) << ::testing::PrintToString(args);
    EXPECT_NE(run.err.find("usage"), std::string::npos);
  }
}

TEST_F(CliTest, ShowPrintsTheTableAsTheEditorLoadsIt) {
  CliRun run = Cli({"show", kFilesData + "/standard.csv"});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(run.out, ReadBytes(kData + "/standard.show.txt"));
  EXPECT_EQ(run.err, "");
}

// Names holding terminal escape sequences lose their control characters when the document
// is read (a tab becomes a space); 80, which a terminal may take for the C1 control, comes
// out as a visible "\xHH" escape, the columns still aligned.
TEST_F(CliTest, ShowEscapesControlCharacters) {
  CliRun run = Cli({"show", kData + "/escapes.csv"});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(run.out, ReadBytes(kData + "/escapes.show.txt"));
}

TEST_F(CliTest, ShowOfAnEmptyFileIsTheHeaderOnly) {
  WriteBytes(m_folder / "empty.csv", "");
  CliRun run = Cli({"show", m_folder / "empty.csv"});
  EXPECT_EQ(run.exit, 0);
  EXPECT_EQ(run.out.find('\n'), run.out.size() - 1);
}

TEST_F(CliTest, MissingOrUnreadableInputIs66WithTheEditorsMessage) {
  std::string missing = m_folder / "missing.csv";
  CliRun run = Cli({"show", missing});
  EXPECT_EQ(run.exit, 66);
  EXPECT_EQ(run.err.rfind("Velmora-QV 電話帳ソフト\n" + missing + "\nこのファイルが見つかりません。\n", 0), 0u)
      << run.err;
  CliRun folder = Cli({"convert", m_folder.Path().string(), m_folder / "out.csv"});
  EXPECT_EQ(folder.exit, 66);
  EXPECT_NE(folder.err.find("の読み取り中に予期しないエラーが発生しました。"), std::string::npos) << folder.err;
  EXPECT_FALSE(std::filesystem::exists(m_folder / "out.csv"));
}

TEST_F(CliTest, InvalidPhonebookIs65AndWritesNothing) {
  WriteBytes(m_folder / "dup.csv", "1,a\r\n1,b\r\n");
  CliRun run = Cli({"convert", m_folder / "dup.csv", m_folder / "out.csv"});
  EXPECT_EQ(run.exit, 65);
  EXPECT_EQ(run.err, kInvalidMessage);
  EXPECT_FALSE(std::filesystem::exists(m_folder / "out.csv"));

  WriteBytes(m_folder / "short.bin", std::string(119999, '\0'));
  CliRun image = Cli({"show", m_folder / "short.bin"});
  EXPECT_EQ(image.exit, 65);
  EXPECT_EQ(image.err.rfind(kInvalidMessage, 0), 0u);
  EXPECT_NE(image.err.find("119999"), std::string::npos);
}

TEST_F(CliTest, ConvertWritesDocumentsAsTheEditorSavesThem) {
  CliRun run = Cli({"convert", kFilesData + "/standard.csv", m_folder / "out.csv"});
  ASSERT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(ReadBytes(m_folder / "out.csv"), ReadBytes(kFilesData + "/standard.expected.csv"));

  // Tab separated under any other ending, and read back the same way. (Another base name:
  // Windows file names ignore case.)
  ASSERT_EQ(Cli({"convert", m_folder / "out.csv", m_folder / "tabbed.CSV"}).exit, 0);
  std::string tabbed = ReadBytes(m_folder / "tabbed.CSV");
  EXPECT_NE(tabbed.find("0012\t"), std::string::npos);
  ASSERT_EQ(Cli({"convert", m_folder / "tabbed.CSV", m_folder / "again.csv"}).exit, 0);
  EXPECT_EQ(ReadBytes(m_folder / "again.csv"), ReadBytes(m_folder / "out.csv"));
}

// An image carries no memory numbers: entries are packed from record 0, so a phonebook
// numbered 1, 2, 3... comes back unchanged.
TEST_F(CliTest, ConvertThroughAnImageKeepsTheEntries) {
  const std::string document = kFilesData + "/namefirst.expected.csv";
  ASSERT_EQ(Cli({"convert", document, m_folder / "pdata.bin"}).exit, 0);
  EXPECT_EQ(std::filesystem::file_size(m_folder / "pdata.bin"), 120000u);
  CliRun back = Cli({"convert", m_folder / "pdata.bin", m_folder / "back.csv"});
  ASSERT_EQ(back.exit, 0) << back.err;
  EXPECT_EQ(ReadBytes(m_folder / "back.csv"), ReadBytes(document));
  CliRun showImage = Cli({"show", m_folder / "pdata.bin"});
  EXPECT_EQ(showImage.exit, 0);
  EXPECT_EQ(showImage.out, Cli({"show", document}).out);
}

TEST_F(CliTest, OutputThatCannotBeCreatedIs73) {
  CliRun run = Cli({"convert", kFilesData + "/standard.csv", m_folder / "no/such/folder/out.csv"});
  EXPECT_EQ(run.exit, 73);
  EXPECT_EQ(run.err.rfind(kWriteMessage, 0), 0u) << run.err;
  EXPECT_NE(run.err.find("No such file or directory"), std::string::npos);
}

TEST_F(CliTest, OutputThatCannotBeWrittenIs74AndThePreviousFileStays) {
  if (!CliRunnerLimitsFileSize()) GTEST_SKIP() << "no way to make the write fail here";
  std::string out = m_folder / "out.bin";
  WriteBytes(out, "previous");
  CliRun run = Cli({"convert", kFilesData + "/standard.csv", out}, 65536);  // room for the store, not for the image
  EXPECT_EQ(run.exit, 74);
  EXPECT_EQ(run.err.rfind(kWriteMessage, 0), 0u) << run.err;
  EXPECT_EQ(ReadBytes(out), "previous");
  std::size_t files = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(m_folder.Path())) ++files;
  EXPECT_EQ(files, 3u) << "out.bin and the two captured streams, no temporary left";
}

// readings fills the missing readings from the dictionary and lists them (with --all
// every entry, the old reading beside); on Windows from the "dic" folder beside the
// program, with the same results.
TEST_F(CliTest, ReadingsFillsFromTheDictionaryAndListsWhatItFilled) {
  const std::string book = kData + "/readings-book.csv";
  const std::string out = m_folder / "out.csv";
  CliRun run = Cli({"readings", book, out});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(run.out, ReadBytes(kData + "/readings-book.filled.txt"));
  EXPECT_EQ(ReadBytes(out), ReadBytes(kData + "/readings-book.filled.csv"));
  run = Cli({"readings", "--all", book, out});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(run.out, ReadBytes(kData + "/readings-book.all.txt"));

  EXPECT_EQ(Cli({"readings", book}).exit, 64);
  EXPECT_EQ(Cli({"readings", book, out, "--every"}).exit, 64);
}

}  // namespace
