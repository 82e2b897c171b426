// qvbook-cli download, upload and ports against qvbook-handset: the files written, the
// exit codes and the editor's messages on stderr, with the real pauses of a session;
// Ctrl+C and SIGTERM in each wait.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <sstream>
#include <thread>

#include "../comm/FakeSysfs.h"
#include "../comm/HandsetProcess.h"
#include "CliRunner.h"

namespace {

const std::string kStandard = std::string(QVBOOK_FILES_TEST_DATA) + "/standard.csv";

std::string Message(const char* caption, const char* text) { return std::string(caption) + "\n" + text + "\n"; }

const std::string kLocked = Message("通信エラー", "電話帳ロック中です。ロックを解除して再度行ってください");
const std::string kUploaded = Message("アップロードの成功",
                                      "PC から端末へのアップロードが成功しました。\n\n"
                                      "端末を再起動します。ケーブルを抜かないでください。");
const std::string kDownloaded = Message("ダウンロードの成功", "端末から PC へのダウンロードが成功しました。");
const std::string kDownloadAborted = Message("ダウンロード中断", "端末から PC へのダウンロードを中断しました。");
const std::string kPortUnavailable = Message("通信ポートオープンエラー",
                                             "端末の通信ポートが利用できませんでした。\n\n"
                                             "他のアプリケーションによる端末の利用状況をご確認ください。");
const std::string kPortNotFound = Message("通信ポートの確認",
                                          "端末の通信ポートが確認できませんでした。\n\n"
                                          "端末との接続状況をご確認ください。");
const std::string kNoEntries = Message("データの登録確認", "電話帳データが登録されていません。");
const std::string kHandsetAtRisk = "\n\n端末の電話帳データは消去されたか、\n途中までしか登録されていない可能性があります。\n"
                                   "端末の電話帳をご確認のうえ、再度アップロードしてください。\n";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Waits (up to a minute) until one of the files holds `text`.
bool WaitForText(const std::vector<std::string>& paths, const std::string& text) {
  for (int i = 0; i < 6000; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10)))
    for (const std::string& path : paths)
      if (Has(ReadBytes(path), text)) return true;
  return false;
}

class CliTransferTest : public ::testing::Test {
 protected:
  void SetUp() override { unsetenv("QVBOOK_PORT"); }
  CliRun Cli(const std::vector<std::string>& args, const std::function<void(pid_t)>& whileRunning = {}) {
    return RunCli(args, m_folder, 0, whileRunning);
  }
  std::unique_ptr<HandsetProcess> Handset(std::vector<std::string> options) {
    options.insert(options.end(), {"--save", m_folder / "handset.bin"});
    auto handset = std::make_unique<HandsetProcess>(options, m_folder / "handset.log");
    EXPECT_FALSE(handset->Path().empty());
    return handset;
  }
  TempFolder m_folder;
};

// The bytes a link trace records in each direction ("sent", "recv"), read back from its
// hexadecimal columns, and its steps in order.
struct TraceReading {
  std::size_t sent = 0, received = 0;
  std::vector<std::string> steps;
};
TraceReading ReadTrace(const std::string& text) {
  TraceReading reading;
  std::size_t* counting = nullptr;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.size() < 20) continue;
    const std::string kind = line.substr(13, 4);  // after "HH:MM:SS.mmm "
    if (line[0] != ' ') counting = kind == "sent" ? &reading.sent : kind == "recv" ? &reading.received : nullptr;
    if (kind == "step") reading.steps.push_back(line.substr(19));
    const std::size_t bar = line.find('|');
    if (counting && bar != std::string::npos)
      *counting += std::count_if(line.begin() + 19, line.begin() + bar, [](char c) { return c != ' '; }) / 2;
  }
  return reading;
}

}  // namespace

TEST_F(CliTransferTest, UploadRestartsTheHandsetAndDownloadBringsThePhonebookBack) {
  auto handset = Handset({"--block-size", "4096"});
  CliRun upload = Cli({"upload", "--no-backup", "--port", handset->Path(), kStandard});
  EXPECT_EQ(0, upload.exit) << upload.err;
  EXPECT_TRUE(Has(upload.err, kUploaded)) << upload.err;
  ASSERT_EQ(0, Cli({"convert", kStandard, m_folder / "expected.bin"}).exit);
  EXPECT_EQ(ReadBytes(m_folder / "expected.bin"), ReadBytes(m_folder / "handset.bin"));

  CliRun download = Cli({"download", m_folder / "back.csv", "--port", handset->Path()});
  EXPECT_EQ(0, download.exit) << download.err;
  EXPECT_TRUE(Has(download.err, kDownloaded)) << download.err;
  // The image keeps the entries in order, not their memory numbers: compare through one.
  ASSERT_EQ(0, Cli({"convert", m_folder / "expected.bin", m_folder / "expected.csv"}).exit);
  EXPECT_EQ(ReadBytes(m_folder / "expected.csv"), ReadBytes(m_folder / "back.csv"));
  handset->Stop();
  std::string log = ReadBytes(m_folder / "handset.log");
  EXPECT_TRUE(Has(log, "upload complete: 120000 bytes in 118 blocks")) << log;
  EXPECT_TRUE(Has(log, "restart")) << log;
}

// A full phonebook whose entry 500 has no reading comes back whole from an image, both
// through convert and through an upload and a download: the entries after it are not lost.
TEST_F(CliTransferTest, AFullPhonebookWithAnEntryWithoutAReadingComesBackWhole) {
  std::string book;
  for (int n = 1; n <= 1000; ++n)
    book += std::to_string(n) + ",N" + std::to_string(n) + "," + (n == 500 ? "" : "R" + std::to_string(n)) +
            ",03" + std::to_string(10000000 + n) + ",,,1\r\n";
  WriteBytes(m_folder / "book.csv", book);
  ASSERT_EQ(0, Cli({"convert", m_folder / "book.csv", m_folder / "expected.csv"}).exit);
  ASSERT_EQ(0, Cli({"convert", m_folder / "book.csv", m_folder / "book.bin"}).exit);
  ASSERT_EQ(0, Cli({"convert", m_folder / "book.bin", m_folder / "converted.csv"}).exit);
  const std::string expected = ReadBytes(m_folder / "expected.csv");
  EXPECT_NE(expected.find("0500,N500,,0310000500,"), std::string::npos);
  EXPECT_NE(expected.find("1000,N1000,R1000,"), std::string::npos);
  EXPECT_EQ(ReadBytes(m_folder / "converted.csv"), expected);

  auto handset = Handset({"--block-size", "4096"});
  EXPECT_EQ(0, Cli({"upload", "--no-backup", "--port", handset->Path(), m_folder / "book.csv"}).exit);
  CliRun download = Cli({"download", m_folder / "back.csv", "--port", handset->Path()});
  EXPECT_EQ(0, download.exit) << download.err;
  EXPECT_EQ(ReadBytes(m_folder / "back.csv"), expected);
}

TEST_F(CliTransferTest, LockedHandsetIs75WithTheLockMessage) {
  auto handset = Handset({"--locked"});
  for (const char* command : {"download", "upload"}) {
    const bool upload = std::string(command) == "upload";
    CliRun run = upload ? Cli({command, "--no-backup", "--port", handset->Path(), kStandard})
                        : Cli({command, "--port", handset->Path(), m_folder / "x.csv"});
    EXPECT_EQ(75, run.exit) << command;
    EXPECT_EQ("通信準備中．．．\n" + kLocked, run.err) << command;  // the wake-up notice first
  }
  EXPECT_FALSE(std::filesystem::exists(m_folder / "x.csv"));
  EXPECT_FALSE(std::filesystem::exists(m_folder / "handset.bin"));
}

// Once the handset was told to clear its phonebook, a failed upload says what may be left
// of it, whether the failure came while the session started or during the transfer.
TEST_F(CliTransferTest, UploadFailingAfterTheHandsetClearedItsPhonebookSaysSo) {
  const struct {
    std::vector<std::string> options;
    std::string message;
  } failures[] = {
      {{"--reject", "118"}, "アップロードの失敗\nPC から端末へのアップロードに失敗しました。" + kHandsetAtRisk},
      {{"--split-answer", "del", "--split-pause", "4000"},
       "端末応答エラー\nVelmoraQVの電源を入れ直し、USBケーブルを抜き差しして、\n再度実行してください" + kHandsetAtRisk},
  };
  for (const auto& failure : failures) {
    auto handset = Handset(failure.options);
    CliRun run = Cli({"upload", "--no-backup", "--port", handset->Path(), kStandard});
    EXPECT_EQ(75, run.exit) << run.err;
    EXPECT_EQ("通信準備中．．．\n" + failure.message, run.err);
    EXPECT_FALSE(std::filesystem::exists(m_folder / "handset.bin"));
  }
}

TEST_F(CliTransferTest, PortsThatCannotBeOpenedOrFoundAre69) {
  CliRun missing = Cli({"download", "--port", "/dev/qvbook-no-such-port", m_folder / "x.csv"});
  EXPECT_EQ(69, missing.exit);
  EXPECT_TRUE(Has(missing.err, kPortUnavailable + "/dev/qvbook-no-such-port: No such file or directory")) << missing.err;
  CliRun notFound = Cli({"download", m_folder / "x.csv"});  // no handset on this machine
  EXPECT_EQ(69, notFound.exit);
  EXPECT_TRUE(Has(notFound.err, kPortNotFound)) << notFound.err;
}

// Ctrl+C or SIGTERM in each wait: 130 and the abort message at once, nothing written; one
// after the transfer finished changes nothing (the upload still restarts the handset);
// one in the restart cuts it short.
struct InterruptCase {
  const char* name;
  std::vector<std::string> options;  // the handset's
  bool upload;
  const char* waitFor;  // in the handset's account, or on our stderr: the wait has begun
  int signal;
  int exit;
  std::string message;  // the last on stderr
};

class CliInterrupt : public CliTransferTest, public ::testing::WithParamInterface<InterruptCase> {};

TEST_P(CliInterrupt, EndsPromptlyButKeepsAFinishedTransfer) {
  const InterruptCase& c = GetParam();
  auto handset = Handset(c.options);
  const std::string out = m_folder / "x.csv";
  std::chrono::steady_clock::time_point signalled;
  CliRun run = Cli(c.upload ? std::vector<std::string>{"upload", "--no-backup", "--port", handset->Path(), kStandard}
                            : std::vector<std::string>{"download", "--port", handset->Path(), out},
                   [&](pid_t pid) {
                     EXPECT_TRUE(WaitForText({m_folder / "handset.log", m_folder / "stderr.txt"}, c.waitFor));
                     signalled = std::chrono::steady_clock::now();
                     kill(pid, c.signal);
                   });
  EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(10));
  EXPECT_EQ(c.exit, run.exit) << run.err;
  EXPECT_EQ(c.message, run.err.substr(run.err.size() - std::min(run.err.size(), c.message.size())));
  handset->Stop();
  EXPECT_EQ(c.upload && c.exit == 0, Has(ReadBytes(m_folder / "handset.log"), "restart"));
  if (!c.upload) {
    EXPECT_EQ(c.exit == 0, std::filesystem::exists(out));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Waits, CliInterrupt,
    ::testing::Values(InterruptCase{"WakeUp", {"--silent-wake"}, false, "通信準備中", SIGTERM, 130, kDownloadAborted},
                      InterruptCase{"Blocks", {}, false, "download", SIGINT, 130, kDownloadAborted},
                      InterruptCase{"Reply", {"--silent-after", "3"}, false, "silent", SIGINT, 130, kDownloadAborted},
                      InterruptCase{"Restart", {}, true, "アップロードの成功", SIGINT, 130, kUploaded},
                      InterruptCase{"EndOfUpload", {}, true, "end of link", SIGINT, 0, kUploaded},
                      InterruptCase{"EndOfDownload", {"--block-size", "4096"}, false, "end of link", SIGTERM, 0,
                                    kDownloaded}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTransferTest, EmptyPhonebookIsNeverUploaded) {
  auto handset = Handset({});
  WriteBytes(m_folder / "empty.csv", "");
  CliRun run = Cli({"upload", "--no-backup", "--port", handset->Path(), m_folder / "empty.csv"});
  EXPECT_EQ(65, run.exit);
  EXPECT_EQ(kNoEntries, run.err);
  EXPECT_FALSE(std::filesystem::exists(m_folder / "handset.bin"));
}

TEST_F(CliTransferTest, BadArgumentsAreUsageErrors) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"download"},
                                                                {"download", "a", "b"},
                                                                {"download", "--port"},
                                                                {"upload", "--port", "p", "--port", "q", "in"},
                                                                {"upload", "--bogus", "in"},
                                                                {"ports", "extra"}}) {
    CliRun run = Cli(args);
    EXPECT_EQ(64, run.exit) << ::testing::PrintToString(args);
    EXPECT_TRUE(Has(run.err, "usage")) << run.err;
  }
}

TEST_F(CliTransferTest, PortsMarksTheHandset) {
  FakeSysfs sysfs;
  sysfs.AddPlatform("ttyS0");
  sysfs.AddUsb("ttyACM0", {});
  CliRun run = Cli({"ports", "--sysfs", sysfs.Root()});
  EXPECT_EQ(0, run.exit);
  EXPECT_EQ("* /dev/ttyACM0  USB\\VID_0F6E&PID_0021&REV_0100\n  /dev/ttyS0  -\n", run.out);
}

// --trace: every byte both ways with the session's steps; a trace that cannot be created
// stops the command before it talks to the handset.
TEST_F(CliTransferTest, TraceHoldsTheStepsAndEveryByteBothWays) {
  auto handset = Handset({});
  ASSERT_EQ(0, Cli({"upload", "--no-backup", "--trace", m_folder / "up.txt", "--port", handset->Path(), kStandard}).exit);
  ASSERT_EQ(0, Cli({"download", "--port", handset->Path(), "--trace=" + (m_folder / "down.txt"), m_folder / "b.csv"}).exit);
  const TraceReading up = ReadTrace(ReadBytes(m_folder / "up.txt"));
  const TraceReading down = ReadTrace(ReadBytes(m_folder / "down.txt"));
  // The image, in frames of 1024 bytes with 10 bytes of framing each and one escape at most
  // per few bytes: more than its 120000 bytes, well under twice that.
  EXPECT_GT(up.sent, 120000u);
  EXPECT_LT(up.sent, 240000u);
  EXPECT_GT(down.received, 120000u);
  EXPECT_GT(up.received, 118u * 13);  // an "OK" frame for each block
  EXPECT_GT(down.sent, 118u * 13);    // an acknowledgement for each block
  const std::vector<std::string> upSteps = {"start an upload", "wake the handset", "switch to file transfer",
                                            "begin the file transfer (FT_START)", "send DEL", "start: ok",
                                            "upload the phonebook", "upload: ok", "end the link", "port closed",
                                            "restart the handset"};
  std::vector<std::string> seen;
  std::copy_if(up.steps.begin(), up.steps.end(), std::back_inserter(seen), [&](const std::string& step) {
    return std::find(upSteps.begin(), upSteps.end(), step) != upSteps.end();
  });
  EXPECT_EQ(seen, upSteps);
  EXPECT_NE(std::find(down.steps.begin(), down.steps.end(), "download: ok"), down.steps.end());

  CliRun refused = Cli({"download", "--trace", m_folder / "no/such.txt", "--port", handset->Path(), m_folder / "c.csv"});
  EXPECT_EQ(73, refused.exit);
  EXPECT_TRUE(Has(refused.err, "such.txt")) << refused.err;
  handset->Stop();
  EXPECT_FALSE(std::filesystem::exists(m_folder / "c.csv"));
}
