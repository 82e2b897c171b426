// The transfer session: the wake-up conversation, the transfer thread, the download and
// upload of the phonebook image and the end of the session.
#include "comm/TransferSession.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "comm/Frame.h"
#include "comm/ReplyReader.h"

namespace {

constexpr std::size_t kUploadBlock = 1024;
constexpr int kProgressPerExchange = 1024;
// Blocks a download may take beyond those the image needs at the handset's block size
// (a short block or an empty last frame): past them the handset is not sending an image.
constexpr std::size_t kExtraBlocks = 2;
constexpr std::string_view kOk = "OK\r\n";
constexpr std::string_view kDownloadRequest = "GET_FILE<?pdata.bin>\r\n";
constexpr std::string_view kAck = "ACK\r\n";

// What a wait that ended without an answer means, in each kind of result.
template <typename Result>
struct Unanswered;
template <>
struct Unanswered<ExchangeResult> {
  static constexpr ExchangeResult garbled = ExchangeResult::Failed;
  static constexpr ExchangeResult silent = ExchangeResult::NoReply;
};
template <>
struct Unanswered<SessionResult> {
  static constexpr SessionResult garbled = SessionResult::BadReply;
  static constexpr SessionResult silent = SessionResult::NoReply;
};

// A command of the session's start that was not answered, as the start's result.
SessionResult StartResultOf(ExchangeResult exchange) {
  switch (exchange) {
    case ExchangeResult::Ok: return SessionResult::Ok;
    case ExchangeResult::NoReply: return SessionResult::NoReply;
    case ExchangeResult::Aborted: return SessionResult::Aborted;
    default: return SessionResult::BadReply;
  }
}

bool EndsWith(const std::vector<uint8_t>& bytes, std::string_view text) {
  return bytes.size() >= text.size() && std::equal(text.begin(), text.end(), bytes.end() - text.size(),
                                                   [](char c, uint8_t b) { return static_cast<uint8_t>(c) == b; });
}

}  // namespace

std::string FormatTimeStamp(const std::tm& localTime) {
  char text[32];
  std::size_t n = std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &localTime);
  return std::string(text, n);
}

std::string CurrentTimeStamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (now == static_cast<std::time_t>(-1) || !localtime_r(&now, &local)) return {};
  return FormatTimeStamp(local);
}

// Everything the transfer thread touches. Shared with the thread, so that a thread that
// did not end in time keeps its own state and never reaches a closed session.
std::string_view SessionResultName(SessionResult result) {
  switch (result) {
    case SessionResult::Ok: return "ok";
    case SessionResult::PortNotFound: return "no handset port found";
    case SessionResult::PortUnavailable: return "the port cannot be opened";
    case SessionResult::NoImage: return "no image";
    case SessionResult::BadReply: return "wrong reply";
    case SessionResult::NoReply: return "no reply";
    case SessionResult::Rejected: return "block refused";
    case SessionResult::NoThread: return "no thread";
    case SessionResult::NoRequest: return "no request";
    case SessionResult::Aborted: return "aborted";
    case SessionResult::Locked: return "locked";
  }
  return "?";
}

struct CTransferSession::Core {
  Core(const TransferTiming& t, std::unique_ptr<CUtiCtrl> c)
      : timing(t), ownController(c ? std::move(c) : std::make_unique<CUtiCtrl>()),
        controller(*ownController) {}

  const TransferTiming timing;
  std::unique_ptr<CUtiCtrl> ownController;
  CUtiCtrl& controller;                 // the port of the session
  PhonebookImage image{};               // received or sent
  int bytesToSend = 0;                  // 120000 during an upload
  int bytesSent = 0;                    // advanced by each block sent
  std::size_t receiveOffset = 0;        // where the next received block lands
  std::size_t receivedBytes = 0;        // size of the image the last download completed
  std::size_t lastBlockLength = 0;      // data bytes of the block stored last
  CReplyReader reader{controller};      // the handset's replies, one at a time

  std::mutex signalLock;                // guards the flags below
  std::condition_variable signalCv;
  bool stop = false;                    // the thread must end
  bool downloadRequest = false;
  bool uploadRequest = false;
  bool abort = false;                   // raised by the user, consumed by a test
  bool ending = false;                  // EndSession runs: pauses end, nothing is reported
  bool open = false;                    // from StartSession to the end of EndSession
  bool threadEnded = false;

  std::mutex observerLock;              // guards observer
  ITransferObserver* observer = nullptr;

  std::shared_ptr<CLinkTrace> trace;    // the session's steps; null: not traced

  void Step(std::string_view text) {
    if (trace) trace->Step(text);
  }

  void Notify(int kind, int value) {
    std::lock_guard<std::mutex> lock(observerLock);
    if (observer) observer->OnCommNotify(kind, value);
  }

  // Waits `ms`; false when the session is ending or the user aborted first.
  bool Pause(int ms) {
    std::unique_lock<std::mutex> lock(signalLock);
    const auto cut = [this] { return ending || abort; };
    // No pause at all (shortened timing) gives the thread up to nobody.
    if (ms <= 0) return !cut();
    return !signalCv.wait_for(lock, std::chrono::milliseconds(ms), cut);
  }

  // Tests the abort signal without consuming it.
  bool AbortRaised() {
    std::lock_guard<std::mutex> lock(signalLock);
    return abort;
  }

  // The result of a step that failed: an abort raised meanwhile cut its wait short, so the
  // user's abort is what happened.
  SessionResult Failed(SessionResult result) { return AbortRaised() ? SessionResult::Aborted : result; }

  // Tests the abort signal without waiting; a raised signal is consumed.
  bool TestAbort() {
    std::lock_guard<std::mutex> lock(signalLock);
    return std::exchange(abort, false);
  }

  ExchangeResult SendFrame(std::string_view text) {
    controller.SendBytes(EncodeFrame(0, text));
    return ExchangeResult::Ok;
  }

  CReplyReader::Clock::time_point ReplyDeadline() const {
    return CReplyReader::Clock::now() + std::chrono::milliseconds(timing.replyTimeoutMs);
  }

  // Before a framed request: whatever arrived since the last answer was taken belongs to
  // no request of ours. Text, noise and line ends are dropped; a refusal refuses what came
  // before (ExchangeResult::Refused); a frame, begun or whole, is a second answer or one to nothing,
  // and taking it for the next would put every later answer one request late
  // (ExchangeResult::Failed).
  ExchangeResult SettleBeforeRequest() {
    std::vector<Reply> arrived;
    const bool frameBegun = reader.TakeArrived(arrived);
    for (const Reply& reply : arrived) {
      if (IsRefusalReply(reply.bytes)) return ExchangeResult::Refused;
      if (reply.framed) return ExchangeResult::Failed;
    }
    return frameBegun ? ExchangeResult::Failed : ExchangeResult::Ok;
  }

  // Reads the answer to the framed `request` just sent. A refusal, framed or not, gives
  // `refused`; text lines, noise and one echo of the request itself are passed over; any
  // other frame is for `judgeFrame`, which may pass it over too.
  template <typename Result, typename Judge>
  Result AwaitAnswer(const std::vector<uint8_t>& request, Result refused, const Judge& judgeFrame) {
    bool echoSeen = false;
    return reader.Await(ReplyDeadline(), Unanswered<Result>::garbled, Unanswered<Result>::silent,
                        [&](const Reply& reply) -> std::optional<Result> {
                          if (IsRefusalReply(reply.bytes)) return refused;
                          if (!reply.framed) return std::nullopt;
                          if (!echoSeen && reply.bytes == request) {
                            echoSeen = true;
                            return std::nullopt;
                          }
                          return judgeFrame(reply);
                        });
  }

  // The answer to a command or an upload block: `positive` only for a whole, sound frame
  // carrying "OK\r\n", `other` for any other frame.
  template <typename Result>
  Result AwaitOk(const std::vector<uint8_t>& request, Result positive, Result refused, Result other) {
    return AwaitAnswer(request, refused, [&](const Reply& reply) -> std::optional<Result> {
      DecodedFrame frame;
      if (DecodeFrame(reply.bytes, 1, frame) != FrameOk) return other;
      return ContainsText(frame.data, kOk) ? positive : other;
    });
  }

  ExchangeResult SendCommand(std::string_view text) {
    if (SettleBeforeRequest() != ExchangeResult::Ok) return ExchangeResult::Failed;
    return Request(text);
  }

  // Sends a framed command and reads its answer (after SettleBeforeRequest).
  ExchangeResult Request(std::string_view text) {
    const std::vector<uint8_t> request = EncodeFrame(0, text);
    controller.SendBytes(request);
    return AwaitOk(request, ExchangeResult::Ok, ExchangeResult::Failed, ExchangeResult::Failed);
  }

  ExchangeResult ExchangeDataFrame(std::string_view text) {
    if (const ExchangeResult settled = SettleBeforeRequest(); settled != ExchangeResult::Ok) return settled;
    const std::vector<uint8_t> request = EncodeFrame(0, text);
    controller.SendBytes(request);
    bool okSeen = false;
    DecodedFrame frame;
    const ExchangeResult result =
        AwaitAnswer(request, ExchangeResult::Refused, [&](const Reply& reply) -> std::optional<ExchangeResult> {
      // The handset may put an "OK" frame before its data frame.
      if (!okSeen && std::ranges::equal(reply.bytes, kOkFrame)) {
        okSeen = true;
        return std::nullopt;
      }
      return DecodeFrame(reply.bytes, 1, frame) == FrameOk ? ExchangeResult::Ok : ExchangeResult::Failed;
    });
    if (result != ExchangeResult::Ok) return result;
    if (receiveOffset + frame.length > image.size()) return ExchangeResult::Failed;  // not stored
    std::copy(frame.data.begin(), frame.data.end(), image.begin() + receiveOffset);
    receiveOffset += frame.length;
    lastBlockLength = frame.length;
    if (frame.more == 0) {
      receivedBytes = std::exchange(receiveOffset, 0);
      return ExchangeResult::LastBlock;
    }
    if (TestAbort()) {
      receiveOffset = 0;
      return ExchangeResult::Aborted;
    }
    return ExchangeResult::Ok;
  }

  // Ends on the first block that is refused or fails its tests (the conversation cannot
  // ask for it again, and a gap would misplace every later block), and after at most the
  // blocks the image can take at the handset's block size: a handset that goes on talking
  // past them is not sending an image.
  SessionResult DownloadImage() {
    Notify(NotifyProgress, 0);
    image.fill(0);
    receiveOffset = 0;
    receivedBytes = 0;
    if (ExchangeDataFrame(kDownloadRequest) != ExchangeResult::Ok) return Failed(SessionResult::NoReply);
    // The first block is a whole one: its length is the handset's block size.
    if (lastBlockLength == 0) return SessionResult::BadReply;
    const std::size_t blockLimit = (kImageSize + lastBlockLength - 1) / lastBlockLength + kExtraBlocks;
    std::size_t blocks = 1;
    int progress = kProgressPerExchange;
    Notify(NotifyProgress, progress);
    for (;;) {
      if (!Pause(timing.beforeAckMs)) return SessionResult::Aborted;
      const ExchangeResult result = ExchangeDataFrame(kAck);
      if (result == ExchangeResult::Aborted) return SessionResult::Aborted;
      if (result == ExchangeResult::NoReply) return Failed(SessionResult::NoReply);
      if (result != ExchangeResult::Ok && result != ExchangeResult::LastBlock) return Failed(SessionResult::BadReply);
      progress += kProgressPerExchange;
      Notify(NotifyProgress, progress);
      if (result == ExchangeResult::LastBlock) break;
      if (++blocks >= blockLimit) return SessionResult::BadReply;
    }
    Notify(NotifyProgress, static_cast<int>(kImageSize));
    // An image of the wrong size would put misplaced bytes into the phonebook.
    if (receivedBytes != kImageSize) return SessionResult::BadReply;
    return SessionResult::Ok;
  }

  // A block counts as kept only once its own positive answer was read, and the upload
  // succeeds only when every block's was and nothing that could be a further answer
  // followed the last one.
  SessionResult UploadImage() {
    if (!Pause(timing.aroundPutFileMs)) return SessionResult::Aborted;
    std::string command = "PUT_FILE<?pdata.bin,120000," + CurrentTimeStamp() + ">\r\n";
    if (SendCommand(command) != ExchangeResult::Ok) return Failed(SessionResult::NoReply);
    bytesToSend = static_cast<int>(kImageSize);
    bytesSent = 0;
    if (!Pause(timing.aroundPutFileMs)) return SessionResult::Aborted;
    std::size_t blockOffset = 0;
    for (;;) {
      if (TestAbort()) return SessionResult::Aborted;
      if (const SessionResult settled = SettleAfterAnswer(); settled != SessionResult::Ok) return settled;
      std::size_t remaining = static_cast<std::size_t>(bytesToSend - bytesSent);
      bool more = remaining > kUploadBlock;
      std::size_t length = more ? kUploadBlock : remaining;
      bytesSent += static_cast<int>(length);
      const std::vector<uint8_t> block = EncodeFrame(more ? 1 : 0, std::span(image.data() + blockOffset, length));
      controller.SendBytes(block);
      if (!Pause(timing.afterBlockMs)) return SessionResult::Aborted;
      const SessionResult answer = AwaitOk(block, SessionResult::Ok, SessionResult::Rejected, SessionResult::BadReply);
      if (answer != SessionResult::Ok) return Failed(answer);
      Notify(NotifyProgress, static_cast<int>(blockOffset));
      if (!more) {
        if (const SessionResult settled = SettleAfterAnswer(); settled != SessionResult::Ok) return settled;
        Notify(NotifyProgress, static_cast<int>(kImageSize));
        return SessionResult::Ok;
      }
      blockOffset += kUploadBlock;
    }
  }

  // What the upload makes of what arrived after an answer.
  SessionResult SettleAfterAnswer() {
    const ExchangeResult settled = SettleBeforeRequest();
    if (settled == ExchangeResult::Ok) return SessionResult::Ok;
    return Failed(settled == ExchangeResult::Refused ? SessionResult::Rejected : SessionResult::BadReply);
  }
};

CTransferSession::CTransferSession(const TransferTiming& timing)
    : CTransferSession(nullptr, timing) {}

CTransferSession::CTransferSession(std::unique_ptr<CUtiCtrl> controller,
                                   const TransferTiming& timing)
    : m_timing(timing), m_pCore(std::make_shared<Core>(timing, std::move(controller))) {}

CTransferSession::~CTransferSession() {
  if (IsRunning()) EndSession();
}

void CTransferSession::SetObserver(ITransferObserver* observer) {
  m_pObserver = observer;
  std::lock_guard<std::mutex> lock(m_pCore->observerLock);
  m_pCore->observer = observer;
}

void CTransferSession::SetTrace(std::shared_ptr<CLinkTrace> trace) {
  m_pTrace = std::move(trace);
  m_pCore->trace = m_pTrace;
  m_pCore->controller.SetTrace(m_pTrace);
}

CUtiCtrl& CTransferSession::Controller() { return m_pCore->controller; }
const PhonebookImage& CTransferSession::Image() const { return m_pCore->image; }
ExchangeResult CTransferSession::SendFrame(std::string_view text) { return m_pCore->SendFrame(text); }
ExchangeResult CTransferSession::SendCommand(std::string_view text) { return m_pCore->SendCommand(text); }
ExchangeResult CTransferSession::ExchangeDataFrame(std::string_view text) { return m_pCore->ExchangeDataFrame(text); }
SessionResult CTransferSession::DownloadImage() { return m_pCore->DownloadImage(); }
SessionResult CTransferSession::UploadImage() { return m_pCore->UploadImage(); }

void CTransferSession::Abort() {
  std::shared_ptr<Core> shared;
  {
    std::lock_guard<std::mutex> lock(m_coreLock);
    shared = m_pCore;
  }
  Core& core = *shared;
  {
    std::lock_guard<std::mutex> lock(core.signalLock);
    core.abort = true;
    // Every wait of an open session ends at once: the wake-up, a reply that does not
    // come, the pauses. Under the lock, so that it never reaches the next session.
    if (core.open) core.controller.InterruptWaits(true);
  }
  core.signalCv.notify_all();
}

SessionResult CTransferSession::StartSession(bool bDownload, const ImageBuilder& buildImage) {
  if (IsRunning()) return SessionResult::NoThread;
  Core& core = *m_pCore;
  m_bHandsetAtRisk = false;
  m_strSessionPort.clear();
  {
    std::lock_guard<std::mutex> lock(core.signalLock);
    core.stop = core.downloadRequest = core.uploadRequest = core.abort = false;
    core.ending = core.threadEnded = false;
    core.open = true;
    core.controller.InterruptWaits(false);
  }
  core.Step(bDownload ? "start a download" : "start an upload");
  SessionResult result = RunStart(bDownload, buildImage);
  {
    std::lock_guard<std::mutex> lock(core.signalLock);
    // A step cut short by the user's abort failed because of it.
    if (result != SessionResult::Ok && core.abort) result = SessionResult::Aborted;
  }
  core.Step("start: " + std::string(SessionResultName(result)));
  return result;
}

SessionResult CTransferSession::RunStart(bool bDownload, const ImageBuilder& buildImage) {
  Core& core = *m_pCore;
  if (!bDownload) {
    // An image that cannot be built would wipe the handset's phonebook: send nothing.
    core.image.fill(0);
    if (!buildImage || buildImage(core.image) != StoreResult::Ok) return SessionResult::NoImage;
  }
  std::string name = m_strPortName;
  if (name.empty() && (core.controller.FindHandsetPort(name) != UtiFound || name.empty()))
    return SessionResult::PortNotFound;
  m_strSessionPort = name;
  core.controller.SetOpenRetryPause(m_timing.openRetryPauseMs);
  core.Step("open the port " + name);
  if (core.controller.Open(name) != UtiOk) return SessionResult::PortUnavailable;
  if (!core.Pause(m_timing.afterOpenMs)) return SessionResult::Aborted;

  core.reader.Reset(ReplyMode::Text);
  core.Step("wake the handset");
  if (const SessionResult result = WakeHandset(); result != SessionResult::Ok) return result;
  core.Step("switch to file transfer");
  if (const SessionResult result = SwitchToFileTransfer(); result != SessionResult::Ok) return result;
  core.reader.Reset(ReplyMode::Framed);

  core.Step("begin the file transfer (FT_START)");
  if (const ExchangeResult result = core.SendCommand("FT_START\r\n"); result != ExchangeResult::Ok)
    return StartResultOf(result);
  if (!core.Pause(m_timing.startToDeleteMs)) return SessionResult::Aborted;
  if (core.SettleBeforeRequest() != ExchangeResult::Ok) return SessionResult::BadReply;
  // From here on the handset may drop its phonebook, whatever becomes of the upload.
  if (!bDownload) m_bHandsetAtRisk = true;
  core.Step("send DEL");
  if (const ExchangeResult result = core.Request("DEL<**ack**>\r\n"); result != ExchangeResult::Ok)
    return StartResultOf(result);
  if (core.AbortRaised()) return SessionResult::Aborted;

  try {
    m_transferThread = std::thread(&CTransferSession::TransferThreadProc, m_pCore);
  } catch (const std::system_error&) {
    return SessionResult::NoThread;
  }
  {
    std::lock_guard<std::mutex> lock(core.signalLock);
    (bDownload ? core.downloadRequest : core.uploadRequest) = true;
  }
  core.signalCv.notify_all();
  return SessionResult::Ok;
}

// Sends "AT\r" once and polls for a line ending in "OK" (the modem's echo and noise before
// it are passed over) until the wake-up limit, with the wait notice shown. No poll reaches
// past the limit.
SessionResult CTransferSession::WakeHandset() {
  Core& core = *m_pCore;
  if (m_pWakeNotice) m_pWakeNotice->ShowWakeNotice();
  struct HideOnExit {
    IWakeNotice* notice;
    ~HideOnExit() {
      if (notice) notice->HideWakeNotice();
    }
  } hide{m_pWakeNotice};

  if (!core.Pause(m_timing.afterWaitNoticeMs)) return SessionResult::Aborted;
  core.reader.Discard();  // what the line held before we spoke
  core.controller.SendText("AT\r");
  const auto deadline = CReplyReader::Clock::now() + std::chrono::milliseconds(m_timing.wakeLimitMs);
  const auto okLine = [](const Reply& reply) -> std::optional<SessionResult> {
    if (EndsWith(reply.bytes, "OK")) return SessionResult::Ok;
    return std::nullopt;
  };
  for (;;) {
    const auto now = CReplyReader::Clock::now();
    if (now >= deadline) return SessionResult::NoReply;
    const auto pollEnd = std::min(deadline, now + std::chrono::milliseconds(m_timing.replyTimeoutMs));
    if (core.reader.Await(pollEnd, SessionResult::BadReply, SessionResult::NoReply, okLine) == SessionResult::Ok)
      return SessionResult::Ok;
    // A line that hung up brings nothing more; one flooded past its queue brings nonsense.
    if (core.controller.LineDown()) return SessionResult::NoReply;
    if (core.controller.ReceiveOverflowed()) return SessionResult::BadReply;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - CReplyReader::Clock::now());
    if (!core.Pause(std::min<int>(m_timing.wakePollMs, static_cast<int>(std::max<int64_t>(left.count(), 0)))))
      return SessionResult::Aborted;
  }
}

// "AT*S\r": the first line of its reply that is not the modem's echo decides, unless a
// refusal came with it. Whatever the wake-up left on the line is dropped before it is sent;
// an "OK" of the wake-up that was still on its way can only arrive just ahead of the
// handset's answer, and a locked handset's "ERROR" then came with it.
SessionResult CTransferSession::SwitchToFileTransfer() {
  Core& core = *m_pCore;
  core.reader.Discard();
  constexpr std::string_view kModeCommand = "AT*S\r";
  core.controller.SendText(kModeCommand);
  const SessionResult mode = core.reader.Await(
      core.ReplyDeadline(), SessionResult::BadReply, SessionResult::NoReply,
      [&](const Reply& reply) -> std::optional<SessionResult> {
    if (std::ranges::equal(reply.bytes, kModeCommand.substr(0, kModeCommand.size() - 1))) return std::nullopt;
    if (EndsWith(reply.bytes, "OK")) return SessionResult::Ok;
    return ContainsText(reply.bytes, "ERROR") ? SessionResult::Locked : SessionResult::BadReply;
  });
  if (mode != SessionResult::Ok) return mode;
  std::vector<Reply> alongside;
  core.reader.TakeArrived(alongside);
  const bool refused = std::ranges::any_of(alongside, [](const Reply& r) { return ContainsText(r.bytes, "ERROR"); });
  return refused ? SessionResult::Locked : SessionResult::Ok;
}

void CTransferSession::TransferThreadProc(std::shared_ptr<Core> shared) {
  Core& core = *shared;
  for (;;) {
    bool download;
    {
      std::unique_lock<std::mutex> lock(core.signalLock);
      core.signalCv.wait(lock, [&] { return core.stop || core.downloadRequest || core.uploadRequest; });
      if (core.stop) break;
      download = core.downloadRequest;
      (download ? core.downloadRequest : core.uploadRequest) = false;
    }
    core.Step(download ? "download the phonebook" : "upload the phonebook");
    const SessionResult result = download ? core.DownloadImage() : core.UploadImage();
    core.Step(std::string(download ? "download: " : "upload: ").append(SessionResultName(result)));
    core.Notify(download ? NotifyDownloadFinished : NotifyUploadFinished, static_cast<int>(result));
  }
  {
    std::lock_guard<std::mutex> lock(core.signalLock);
    core.threadEnded = true;
  }
  core.signalCv.notify_all();
}

void CTransferSession::EndSession() {
  if (IsRunning()) {
    Core& core = *m_pCore;
    {
      std::lock_guard<std::mutex> lock(core.signalLock);
      core.stop = core.ending = true;
    }
    {
      // A transfer cut short here reports nothing: the caller is ending it.
      std::lock_guard<std::mutex> lock(core.observerLock);
      core.observer = nullptr;
    }
    core.signalCv.notify_all();
    core.controller.InterruptWaits(true);
    std::this_thread::yield();
    bool ended;
    {
      std::unique_lock<std::mutex> lock(core.signalLock);
      ended = core.signalCv.wait_for(lock, std::chrono::milliseconds(m_timing.threadEndWaitMs),
                                     [&] { return core.threadEnded; });
    }
    if (ended) {
      m_transferThread.join();
    } else {
      // Released: it keeps the old core (and closes its port when it ends by itself).
      m_transferThread.detach();
      std::lock_guard<std::mutex> lock(m_coreLock);
      m_pCore = std::make_shared<Core>(m_timing, nullptr);
      SetObserver(m_pObserver);
      SetTrace(m_pTrace);
      return;
    }
  }
  Core& core = *m_pCore;
  {
    std::lock_guard<std::mutex> lock(core.signalLock);
    core.stop = core.downloadRequest = core.uploadRequest = core.abort = false;
    core.ending = false;
  }
  {
    std::lock_guard<std::mutex> lock(core.observerLock);
    core.observer = m_pObserver;
  }
  core.Step("end the link");
  core.controller.SendBytes(std::vector<uint8_t>(kEndOfLinkFrame.begin(), kEndOfLinkFrame.end()));
  std::this_thread::sleep_for(std::chrono::milliseconds(m_timing.afterEndOfLinkMs));
  core.controller.Close();
  core.Step("port closed");
  std::lock_guard<std::mutex> lock(core.signalLock);
  core.open = false;
  core.controller.InterruptWaits(false);  // the controller serves the next session unhindered
}
