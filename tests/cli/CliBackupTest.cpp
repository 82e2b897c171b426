// qvbook-cli upload with the handset's phonebook backed up first, backups and restore,
// against qvbook-handset with the real pauses of a session: the changes printed, the
// question on a terminal, and what each failure leaves on the handset and in the backups.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "../comm/HandsetProcess.h"
#include "../comm/PtyPair.h"
#include "CliRunner.h"

namespace {

const std::string kStandard = std::string(QVBOOK_FILES_TEST_DATA) + "/standard.csv";
const std::string kNotTaken = "\n\n端末の電話帳をバックアップできなかったため、アップロードを中止しました。\n"
                              "端末の電話帳は変更されていません。\n";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class CliBackupTest : public ::testing::Test {
 protected:
  // The handset holds standard.csv's phonebook; "other.csv" changes its second entry's
  // name and adds a sixth.
  void SetUp() override {
    unsetenv("QVBOOK_PORT");
    setenv("XDG_DATA_HOME", (m_folder / "data").c_str(), 1);
    ASSERT_EQ(0, Cli({"convert", kStandard, m_folder / "handset.bin"}).exit);
    ASSERT_EQ(0, Cli({"convert", m_folder / "handset.bin", m_folder / "handset.csv"}).exit);
    std::string other = ReadBytes(m_folder / "handset.csv");
    other.replace(other.find("\r\n0002,") + 7, 16, "\x95\xCA\x82\xCC\x90\x6C");  // 別の人
    WriteBytes(m_folder / "other.csv", other + "0006,N6,\xB1,0123,,,1\r\n");
    ASSERT_EQ(0, Cli({"convert", m_folder / "other.csv", m_folder / "other.bin"}).exit);
  }
  void TearDown() override { unsetenv("XDG_DATA_HOME"); }

  CliRun Cli(const std::vector<std::string>& args, const std::string& input = {}) {
    return RunCli(args, m_folder, 0, {}, input);
  }
  std::unique_ptr<HandsetProcess> Handset(std::vector<std::string> options, const std::string& image = "handset.bin") {
    if (!image.empty()) options.insert(options.end(), {"--image", m_folder / image});
    options.insert(options.end(), {"--save", m_folder / "saved.bin"});
    auto handset = std::make_unique<HandsetProcess>(options, m_folder / "handset.log");
    EXPECT_FALSE(handset->Path().empty());
    return handset;
  }
  std::vector<std::string> Backups() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder / "data/qvbook/backups", ignored))
      names.push_back(entry.path().string());
    return names;
  }
  bool Uploaded() const { return std::filesystem::exists(m_folder / "saved.bin"); }

  TempFolder m_folder;
};

}  // namespace

TEST_F(CliBackupTest, UploadPrintsTheChangesAfterKeepingTheHandsetsPhonebook) {
  auto handset = Handset({"--block-size", "4096"});
  CliRun run = Cli({"upload", "--yes", "--port", handset->Path(), m_folder / "other.csv"});
  EXPECT_EQ(0, run.exit) << run.err;
  for (const char* line : {"変更  0002  別の人  名前  長い名前の人がこ  別の人\n", "追加  0006  N6\n",
                           "追加するデータ ：1件\n変更するデータ ：1件\n削除するデータ ：0件\n変更のないデータ ：4件\n"
                           "アップロード後の件数 ：6件\n"})
    EXPECT_TRUE(Has(run.out, line)) << run.out;
  EXPECT_EQ(ReadBytes(m_folder / "other.bin"), ReadBytes(m_folder / "saved.bin"));
  const std::vector<std::string> backups = Backups();
  ASSERT_EQ(1u, backups.size());
  EXPECT_EQ(ReadBytes(m_folder / "handset.csv"), ReadBytes(backups[0]));  // the handset as it was
  CliRun listed = Cli({"backups"});
  EXPECT_EQ(0, listed.exit);
  EXPECT_TRUE(Has(listed.out, "5件   " + std::filesystem::path(handset->Path()).filename().string())) << listed.out;
  EXPECT_TRUE(Has(listed.out, std::filesystem::path(backups[0]).filename().string())) << listed.out;
}

// Without --yes only a person at a terminal can let the upload go on; whatever else they
// answer, or with nobody to ask at all, the handset keeps its phonebook.
TEST_F(CliBackupTest, TheQuestionIsAskedOnATerminalOnly) {
  auto handset = Handset({"--block-size", "4096"});
  CliRun refused = Cli({"upload", "--port", handset->Path(), m_folder / "other.csv"});
  EXPECT_EQ(64, refused.exit);
  EXPECT_TRUE(Has(refused.err, "--yes を付けてください。")) << refused.err;
  EXPECT_EQ("", ReadBytes(m_folder / "handset.log"));  // the handset was never spoken to

  for (const char* answer : {"n\n", "y\n"}) {
    PtyPair terminal;
    terminal.Write(answer);
    CliRun run = Cli({"upload", "--port", handset->Path(), m_folder / "other.csv"}, terminal.Path());
    EXPECT_TRUE(Has(run.err, "アップロードしますか？ [y/N] ")) << run.err;
    EXPECT_EQ(answer[0] == 'y' ? 0 : 130, run.exit) << run.err;
    EXPECT_EQ(answer[0] == 'y', Uploaded()) << answer;
  }
  EXPECT_EQ(2u, Backups().size());
}

// A failure before the upload's own session (the download refused, no folder for the
// backup) sends nothing to the handset.
TEST_F(CliBackupTest, NoUploadWithoutItsBackup) {
  const struct {
    std::vector<std::string> handset;
    bool blockFolder;
    int exit;
    std::string message;
  } cases[] = {
      {{"--reject", "3"}, false, 75, "ダウンロードの失敗\n端末から PC へのダウンロードに失敗しました。" + kNotTaken},
      {{}, true, 73, "端末の電話帳のバックアップ\n端末の電話帳のバックアップを保存できませんでした。\n\n"
                     "アップロードを中止します。端末の電話帳は変更されていません。\n" + m_folder / "data"},
  };
  for (const auto& c : cases) {
    if (c.blockFolder) WriteBytes(m_folder / "data", "a file in the data folder's place");
    auto handset = Handset(c.handset);
    CliRun run = Cli({"upload", "--yes", "--port", handset->Path(), m_folder / "other.csv"});
    EXPECT_EQ(c.exit, run.exit) << run.err;
    EXPECT_TRUE(Has(run.err, c.message)) << run.err;
    handset->Stop();
    EXPECT_FALSE(Has(ReadBytes(m_folder / "handset.log"), "upload")) << "nothing reached the handset";
    EXPECT_FALSE(Uploaded());
    EXPECT_TRUE(Backups().empty());
  }
}

// A handset that failed in mid-upload may hold nothing; the backup named in the message
// gives it back its phonebook byte for byte.
TEST_F(CliBackupTest, AFailedUploadNamesItsBackupWhichRestoresTheHandset) {
  auto failing = Handset({"--block-size", "4096", "--reject", "60"});
  CliRun run = Cli({"upload", "--yes", "--port", failing->Path(), m_folder / "other.csv"});
  EXPECT_EQ(75, run.exit);
  const std::vector<std::string> backups = Backups();
  ASSERT_EQ(1u, backups.size());
  const std::string name = std::filesystem::path(backups[0]).filename().string();
  EXPECT_TRUE(Has(run.err, "途中までしか登録されていない可能性があります。\n端末の電話帳をご確認のうえ、再度アップロードしてください。\n\n"
                           "アップロード前の端末の電話帳は、バックアップ「" + name + "」に保存されています。"))
      << run.err;
  EXPECT_FALSE(Uploaded());

  auto empty = Handset({}, "");
  CliRun restored = Cli({"restore", name, "--yes", "--port", empty->Path()});
  EXPECT_EQ(0, restored.exit) << restored.err;
  EXPECT_TRUE(Has(restored.out, "追加するデータ ：5件")) << restored.out;
  EXPECT_EQ(ReadBytes(m_folder / "handset.bin"), ReadBytes(m_folder / "saved.bin"));
}
