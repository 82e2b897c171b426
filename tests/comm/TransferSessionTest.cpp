// Whole sessions against qvbook-handset on a pseudo-terminal: both directions byte for
// byte, every fault the emulator plays, every result code, abort and ending mid-transfer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

#include "../files/TestFiles.h"
#include "HandsetProcess.h"
#include "SessionHelpers.h"
#include "comm/TransferSession.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

void WriteImage(const std::string& path, const PhonebookImage& image) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

ImageBuilder Copying(const PhonebookImage& image) {
  return [&image](PhonebookImage& target) {
    target = image;
    return StoreResult::Ok;
  };
}

// A session on the emulator: start result, then (when started) the transfer result.
struct Outcome {
  std::optional<SessionResult> start;
  std::optional<SessionResult> transfer;
};

Outcome RunSession(CTransferSession& session, RecordingObserver& observer, bool download,
            const PhonebookImage& image) {
  Outcome outcome;
  outcome.start = session.StartSession(download, Copying(image));
  if (outcome.start == SessionResult::Ok) outcome.transfer = observer.WaitFinished();
  session.EndSession();
  return outcome;
}

class Emulated {
 public:
  explicit Emulated(std::vector<std::string> options, const TransferTiming& timing = QuickTiming())
      : image(PatternImage()), session(timing) {
    WriteImage(dir / "held.bin", image);
    options.insert(options.end(), {"--image", dir / "held.bin", "--save", dir / "saved.bin"});
    handset = std::make_unique<HandsetProcess>(options);
    session.SetObserver(&observer);
    session.SetPortName(handset->Path());
  }
  Outcome Download() { return RunSession(session, observer, true, image); }
  Outcome Upload() { return RunSession(session, observer, false, image); }
  std::vector<uint8_t> Saved() const { return ReadFile(dir / "saved.bin"); }
  bool Received(const PhonebookImage& expected) const {
    return std::equal(expected.begin(), expected.end(), session.Image().begin());
  }

  TempFolder dir;
  PhonebookImage image;
  std::unique_ptr<HandsetProcess> handset;
  RecordingObserver observer;
  CTransferSession session;
};

std::vector<uint8_t> AsBytes(const PhonebookImage& image) { return {image.begin(), image.end()}; }

}  // namespace

TEST(TransferSessionRealTiming, DownloadReceivesTheHandsetsImageByteForByte) {
  Emulated e({}, TransferTiming{});
  Outcome outcome = e.Download();
  EXPECT_EQ(SessionResult::Ok, outcome.start);
  EXPECT_EQ(SessionResult::Ok, outcome.transfer);
  EXPECT_TRUE(e.Received(e.image));
  auto progress = e.observer.Progress();
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(0, progress.front());
  EXPECT_EQ(120000, progress.back());
}

TEST(TransferSessionRealTiming, UploadSends118FramesAndTheHandsetKeepsTheImage) {
  Emulated e({}, TransferTiming{});
  std::reverse(e.image.begin(), e.image.end());  // differs from what the handset holds
  Outcome outcome = e.Upload();
  EXPECT_EQ(SessionResult::Ok, outcome.start);
  EXPECT_EQ(SessionResult::Ok, outcome.transfer);
  EXPECT_EQ(AsBytes(e.image), e.Saved());
  auto progress = e.observer.Progress();
  ASSERT_EQ(119u, progress.size());  // each block's offset, then the end
  EXPECT_EQ(117 * 1024, progress[117]);
  EXPECT_EQ(120000, progress.back());
}

struct FaultCase {
  const char* name;
  std::vector<std::string> options;
  bool download;
  SessionResult start;                   // StartSession's result
  std::optional<SessionResult> transfer;  // the finished notification's result (none: not started)
  int wakeLimitMs = 3000;
};

class TransferSessionFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(TransferSessionFault, EndsWithItsResult) {
  const FaultCase& c = GetParam();
  TransferTiming timing = QuickTiming();
  timing.wakeLimitMs = c.wakeLimitMs;
  Emulated e(c.options, timing);
  auto started = std::chrono::steady_clock::now();
  Outcome outcome = c.download ? e.Download() : e.Upload();
  EXPECT_EQ(c.start, outcome.start);
  EXPECT_EQ(c.transfer, outcome.transfer);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 15s);
  // Progress 0, each block (at most those 120000 bytes take, plus two), the end.
  EXPECT_LE(e.observer.Progress().size(), 1 + (120 + 2) + 1u);
  EXPECT_FALSE(e.session.Controller().IsOpen());
  if (c.download && c.transfer == SessionResult::Ok) {
    EXPECT_TRUE(e.Received(e.image));
  }
  if (!c.download && c.transfer != SessionResult::Ok) {
    EXPECT_TRUE(e.Saved().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Emulator, TransferSessionFault,
    ::testing::Values(
        FaultCase{"LargeBlocks", {"--block-size", "4096"}, true, SessionResult::Ok, SessionResult::Ok},
        FaultCase{"OddBlocks", {"--block-size", "1000"}, true, SessionResult::Ok, SessionResult::Ok},
        FaultCase{"OkFrameBeforeTheFirstBlock", {"--ok-prefix", "--block-size", "4096"}, true, SessionResult::Ok, SessionResult::Ok},
        FaultCase{"SlowWakeUp", {"--wake-delay", "700", "--block-size", "4096"}, true, SessionResult::Ok, SessionResult::Ok},
        FaultCase{"OkSplitOverTwoReplies", {"--split-ok", "--block-size", "4096"}, true, SessionResult::Ok, SessionResult::Ok},
        FaultCase{"QuickUpload", {}, false, SessionResult::Ok, SessionResult::Ok},
        FaultCase{"Locked", {"--locked"}, true, SessionResult::Locked, std::nullopt},
        FaultCase{"LockedUpload", {"--locked"}, false, SessionResult::Locked, std::nullopt},
        FaultCase{"SilentWakeUp", {"--silent-wake"}, true, SessionResult::NoReply, std::nullopt},
        // The wake-up's limit holds even when a poll is under way as it passes.
        FaultCase{"AnswerPastTheWakeUpLimit", {"--wake-delay", "1800"}, true, SessionResult::NoReply, std::nullopt, 1500},
        FaultCase{"BadChecksum", {"--bad-checksum", "3", "--block-size", "4096"}, true, SessionResult::Ok, SessionResult::BadReply},
        FaultCase{"BadChecksumInTheLastBlock", {"--bad-checksum", "30", "--block-size", "4096"}, true, SessionResult::Ok,
                  SessionResult::BadReply},
        FaultCase{"BlocksOverTheReceiveLimit", {"--block-size", "5000"}, true, SessionResult::Ok, SessionResult::NoReply},
        FaultCase{"DownloadRefused", {"--reject", "2", "--block-size", "4096"}, true, SessionResult::Ok, SessionResult::BadReply},
        FaultCase{"FirstDownloadBlockRefused", {"--reject", "1"}, true, SessionResult::Ok, SessionResult::NoReply},
        FaultCase{"UploadRefused", {"--reject", "5"}, false, SessionResult::Ok, SessionResult::Rejected},
        FaultCase{"DownloadSilence", {"--silent-after", "2", "--block-size", "4096"}, true, SessionResult::Ok, SessionResult::NoReply},
        FaultCase{"UploadSilence", {"--silent-after", "2"}, false, SessionResult::Ok, SessionResult::NoReply},
        FaultCase{"DownloadHangUp", {"--hang-up-after", "2", "--block-size", "4096"}, true, SessionResult::Ok,
                  SessionResult::NoReply},
        FaultCase{"UploadHangUp", {"--hang-up-after", "2"}, false, SessionResult::Ok, SessionResult::NoReply},
        // A handset that never stops talking, or hangs up while it wakes: the session ends
        // by itself, well before the wake-up's minute has passed.
        FaultCase{"GarbageReplies", {"--garbage", "10"}, true, SessionResult::Ok, SessionResult::BadReply},
        FaultCase{"EndlessReply", {"--endless-reply", "3"}, true, SessionResult::Ok, SessionResult::BadReply},
        FaultCase{"FloodInMidTransfer", {"--flood-after", "3"}, true, SessionResult::Ok, SessionResult::BadReply},
        FaultCase{"EmptyMoreFrames", {"--empty-more", "5"}, true, SessionResult::Ok, SessionResult::BadReply},
        FaultCase{"EmptyFirstBlock", {"--empty-more", "1"}, true, SessionResult::Ok, SessionResult::BadReply},
        FaultCase{"FloodDuringTheWakeUp", {"--flood-after", "0"}, true, SessionResult::BadReply, std::nullopt, 60000},
        FaultCase{"HangUpDuringTheWakeUp", {"--hang-up-after", "0"}, true, SessionResult::NoReply, std::nullopt, 60000}),
    [](const auto& info) { return std::string(info.param.name); });

// A line as USB devices and modems make it: answers in pieces, bytes of no answer around
// them, echoes, answers twice, refusals in every form. Whatever the line does, the verdict
// is what the handset kept: an upload succeeds exactly when the handset saved the image
// byte for byte, a download exactly when the handset's image arrived whole.
struct LineCase {
  const char* name;
  std::vector<std::string> options;
  SessionResult upload;    // the result the upload ends with (its start's, when that failed)
  SessionResult download;  // the same for the download
};

class UnsteadyLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(UnsteadyLine, VerdictIsWhatTheHandsetKept) {
  const LineCase& c = GetParam();
  {
    Emulated e(c.options);
    std::reverse(e.image.begin(), e.image.end());  // differs from what the handset holds
    const Outcome outcome = e.Upload();
    const std::optional<SessionResult> result = outcome.start != SessionResult::Ok ? outcome.start : outcome.transfer;
    EXPECT_EQ(c.upload, result) << "upload";
    EXPECT_EQ(result == SessionResult::Ok ? AsBytes(e.image) : std::vector<uint8_t>(), e.Saved()) << "upload";
  }
  Emulated e(c.options);
  const Outcome outcome = e.Download();
  const std::optional<SessionResult> result = outcome.start != SessionResult::Ok ? outcome.start : outcome.transfer;
  EXPECT_EQ(c.download, result) << "download";
  if (result == SessionResult::Ok) {
    EXPECT_TRUE(e.Received(e.image)) << "download";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Emulator, UnsteadyLine,
    ::testing::Values(
        LineCase{"EveryAnswerInTwoBursts", {"--split-answer", "every", "--split-at", "7", "--split-pause", "25"},
                 SessionResult::Ok, SessionResult::Ok},
        LineCase{"ClosingFlagLate", {"--split-answer", "5", "--split-at", "12"}, SessionResult::Ok, SessionResult::Ok},
        LineCase{"AnswerSplitBeforeARefusal",
                 {"--split-answer", "5", "--split-at", "3", "--split-pause", "21", "--reject", "118"},
                 SessionResult::Rejected, SessionResult::BadReply},
        LineCase{"OkLineAfterDel", {"--stray-after", "del", "--stray", "OK\\r\\n", "--reject", "118"},
                 SessionResult::Rejected, SessionResult::BadReply},
        LineCase{"XonAfterPutFile", {"--stray-after", "put_file", "--stray", "\\x11", "--reject", "118"},
                 SessionResult::Rejected, SessionResult::BadReply},
        LineCase{"OkLineAfterBlock5", {"--stray-after", "5", "--stray", "OK\\r\\n", "--reject", "118"},
                 SessionResult::Rejected, SessionResult::BadReply},
        LineCase{"XoffBeforeEveryAnswer", {"--stray-before", "every", "--stray", "\\x13", "--stray-pause", "0"},
                 SessionResult::Ok, SessionResult::Ok},
        LineCase{"OkLineAfterEveryAnswer", {"--stray-after", "every", "--stray", "OK\\r\\n"}, SessionResult::Ok, SessionResult::Ok},
        LineCase{"CrBeforeTheFirstBlock", {"--stray-before", "1", "--stray", "\\r"}, SessionResult::Ok, SessionResult::Ok},
        LineCase{"EchoAndARefusal", {"--echo", "--reject", "5"}, SessionResult::Rejected, SessionResult::BadReply},
        LineCase{"EveryBlockAnsweredTwice", {"--double-answer", "blocks"}, SessionResult::BadReply, SessionResult::BadReply},
        LineCase{"EveryBlockAnsweredTwiceApart", {"--double-answer", "blocks", "--double-pause", "30"},
                 SessionResult::BadReply, SessionResult::BadReply},
        LineCase{"UnframedRejForTheFirstBlock", {"--reject", "1", "--refusal-unframed"}, SessionResult::Rejected,
                 SessionResult::NoReply},
        LineCase{"UnframedErrorForTheLastBlock", {"--reject", "118", "--refusal", "ERROR\\r\\n", "--refusal-unframed"},
                 SessionResult::Rejected, SessionResult::BadReply},
        LineCase{"RejFrameAfterCrLf", {"--reject", "118", "--stray-before", "118", "--stray", "\\r\\n"},
                 SessionResult::Rejected, SessionResult::BadReply},
        LineCase{"GarbageForADroppedBlock", {"--garbage", "5"}, SessionResult::BadReply, SessionResult::BadReply},
        LineCase{"WakeUpAnsweredTwice", {"--double-answer", "at", "--double-pause", "5"}, SessionResult::Ok, SessionResult::Ok},
        LineCase{"WakeUpAnsweredTwiceWhileLocked", {"--double-answer", "at", "--double-pause", "40", "--locked"},
                 SessionResult::Locked, SessionResult::Locked},
        LineCase{"NoiseBeforeTheWakeUpWhileLocked", {"--stray-before", "at", "--stray", "\\x00\\r\\n\\x11", "--locked"},
                 SessionResult::Locked, SessionResult::Locked},
        LineCase{"ModemEchoWhileLocked", {"--echo", "--locked"}, SessionResult::Locked, SessionResult::Locked}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TransferSession, WholeImageInOneFrameIsNotADownload) {
  // The first reply already ends the transfer: the conversation expects more blocks.
  Emulated e({"--block-size", "30000"});
  EXPECT_EQ(SessionResult::NoReply, e.Download().transfer);
}

TEST(TransferSession, UploadWhoseImageCannotBeBuiltSendsNothing) {
  Emulated e({});
  const SessionResult start = e.session.StartSession(false, [](PhonebookImage&) { return StoreResult::CreateFailed; });
  e.session.EndSession();
  EXPECT_EQ(SessionResult::NoImage, start);
  EXPECT_EQ(SessionResult::NoImage, e.session.StartSession(false, {}));
  e.session.EndSession();
  EXPECT_TRUE(e.Saved().empty());
}

TEST(TransferSession, PortThatCannotBeOpenedIsCode2) {
  RecordingObserver observer;
  CTransferSession session(QuickTiming());
  session.SetPortName("/dev/qvbook-no-such-port");
  EXPECT_EQ(SessionResult::PortUnavailable, session.StartSession(true));
  session.EndSession();
}

TEST(TransferSession, NoHandsetAttachedIsCode1) {
  TempFolder emptySysfs;
  const char* saved = std::getenv("QVBOOK_PORT");
  std::string keep = saved ? saved : "";
  unsetenv("QVBOOK_PORT");
  CTransferSession session(QuickTiming());
  session.Controller().SetSysfsRoot(emptySysfs.Path().string());
  EXPECT_EQ(SessionResult::PortNotFound, session.StartSession(true));
  session.EndSession();
  if (saved) setenv("QVBOOK_PORT", keep.c_str(), 1);
}

TEST(TransferSession, QvbookPortNamesTheHandset) {
  Emulated e({"--block-size", "4096"});
  e.session.SetPortName("");
  setenv("QVBOOK_PORT", e.handset->Path().c_str(), 1);
  Outcome outcome = e.Download();
  unsetenv("QVBOOK_PORT");
  EXPECT_EQ(SessionResult::Ok, outcome.transfer);
}

TEST(TransferSession, AbortStopsAtTheNextBlockInEitherDirection) {
  for (bool download : {true, false}) {
    Emulated e({});
    e.observer.onNotify = [&](int kind, int value) {
      if (kind == NotifyProgress && value >= 5 * 1024) e.session.Abort();
    };
    Outcome outcome = download ? e.Download() : e.Upload();
    EXPECT_EQ(SessionResult::Aborted, outcome.transfer) << (download ? "download" : "upload");
    EXPECT_LT(e.observer.Progress().back(), 10 * 1024);
  }
}

// The wake-up would wait a minute: the abort ends it long before (no measure of speed).
TEST(TransferSession, AbortDuringTheWakeUpEndsTheStart) {
  TransferTiming timing = QuickTiming();
  timing.wakeLimitMs = 60000;
  Emulated e({"--silent-wake"}, timing);
  std::thread user([&] {
    std::this_thread::sleep_for(200ms);
    e.session.Abort();
  });
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(SessionResult::Aborted, e.session.StartSession(true));
  EXPECT_LT(std::chrono::steady_clock::now() - started, 30s);
  user.join();
  e.session.EndSession();
}

// However long the wait the abort comes in would have lasted.
TEST(TransferSession, AbortEndsEveryWaitAtOnce) {
  struct Wait {
    std::vector<std::string> options;
    bool download;
    int TransferTiming::*length;  // made a minute long
    SessionResult start;
    std::optional<SessionResult> transfer;
  };
  for (const Wait& w : {Wait{{}, true, &TransferTiming::openRetryPauseMs, SessionResult::Aborted, std::nullopt},
                        Wait{{"--silent-after", "3"}, true, &TransferTiming::replyTimeoutMs, SessionResult::Ok, SessionResult::Aborted},
                        Wait{{}, false, &TransferTiming::aroundPutFileMs, SessionResult::Ok, SessionResult::Aborted},
                        Wait{{"--silent-after", "3"}, false, &TransferTiming::replyTimeoutMs, SessionResult::Ok, SessionResult::Aborted}}) {
    TransferTiming timing = QuickTiming();
    timing.*w.length = 60000;
    Emulated e(w.options, timing);
    if (w.length == &TransferTiming::openRetryPauseMs) e.session.SetPortName("/dev/qvbook-no-such-port");
    auto started = std::chrono::steady_clock::now();
    std::thread user([&] {
      std::this_thread::sleep_for(500ms);  // by now the session waits
      e.session.Abort();
    });
    Outcome outcome = w.download ? e.Download() : e.Upload();
    user.join();
    EXPECT_EQ(w.start, outcome.start);
    EXPECT_EQ(w.transfer, outcome.transfer);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 15s);
  }
}

// The reply would be waited for a minute: ending the session cuts the wait short.
TEST(TransferSession, EndingInMidTransferReturnsPromptlyAndReportsNothing) {
  TransferTiming timing = QuickTiming();
  timing.replyTimeoutMs = 60000;
  Emulated e({"--silent-after", "3"}, timing);
  ASSERT_EQ(SessionResult::Ok, e.session.StartSession(true));
  std::this_thread::sleep_for(300ms);  // now waiting for a reply that never comes
  auto started = std::chrono::steady_clock::now();
  e.session.EndSession();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 30s);
  EXPECT_FALSE(e.session.IsRunning());
  EXPECT_EQ(std::nullopt, e.observer.WaitFinished(200));
}

TEST(TransferSession, OneSessionObjectServesSessionAfterSession) {
  Emulated e({"--block-size", "4096"});
  EXPECT_EQ(SessionResult::Ok, e.Download().transfer);
  EXPECT_TRUE(e.Received(e.image));
  PhonebookImage other = e.image;
  other[0] ^= 0xFF;
  other[119999] ^= 0xFF;
  RecordingObserver second;
  e.session.SetObserver(&second);
  Outcome outcome = RunSession(e.session, second, false, other);
  EXPECT_EQ(SessionResult::Ok, outcome.start);
  EXPECT_EQ(SessionResult::Ok, outcome.transfer);
  EXPECT_EQ(AsBytes(other), e.Saved());
}

TEST(TimeStamp, KeepsLeadingZerosJustAfterMidnight) {
  std::tm t{};
  t.tm_year = 2027 - 1900;
  t.tm_mon = 2;
  t.tm_mday = 1;
  EXPECT_EQ("20270301000000", FormatTimeStamp(t));
  t.tm_hour = 23;
  t.tm_min = 5;
  t.tm_sec = 9;
  t.tm_mon = 11;
  t.tm_mday = 31;
  EXPECT_EQ("20271231230509", FormatTimeStamp(t));
  EXPECT_EQ(14u, CurrentTimeStamp().size());
}
