// The transfer session: the wake-up conversation, the transfer thread, the download and
// upload of the phonebook image and the end of the session.
#include "comm/TransferSession.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "comm/Frame.h"

namespace {

constexpr std::size_t kUploadBlock = 1024;
constexpr int kProgressPerExchange = 1024;
// Blocks a download may take beyond those the image needs at the handset's block size
// (a short block or an empty last frame): past them the handset is not sending an image.
constexpr std::size_t kExtraBlocks = 2;
constexpr std::size_t kWakeCollectBytes = 256;
constexpr std::string_view kOk = "OK\r\n";
constexpr std::string_view kDownloadRequest = "GET_FILE<?pdata.bin>\r\n";
constexpr std::string_view kAck = "ACK\r\n";

std::span<const uint8_t> Bytes(const std::vector<uint8_t>& buffer, uint32_t count) {
  return std::span(buffer.data(), std::min<std::size_t>(count, buffer.size()));
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
  // Where each data reply is read: made once, since a download reads over a hundred.
  std::vector<uint8_t> replyBuffer = std::vector<uint8_t>(kMaxChunkBytes);

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
  int Failed(int result) { return AbortRaised() ? SessionAborted : result; }

  // Tests the abort signal without waiting; a raised signal is consumed.
  bool TestAbort() {
    std::lock_guard<std::mutex> lock(signalLock);
    return std::exchange(abort, false);
  }

  int SendFrame(std::string_view text) {
    controller.SendBytes(EncodeFrame(0, text));
    return ExchangeOk;
  }

  int SendCommand(std::string_view text) {
    SendFrame(text);
    std::vector<uint8_t> reply(kCommandReplyCapacity, 0);
    uint32_t count = kCommandReplyCapacity;
    if (int result = controller.WaitReply(count, reply.data(), timing.replyTimeoutMs)) return result;
    // The reply is a frame whose header and length hold zeros; its text lies among the rest.
    return ContainsText(NonZeroBytes(Bytes(reply, count), 256), kOk) ? ExchangeOk : ExchangeFailed;
  }

  int ExchangeDataFrame(std::string_view text) {
    SendFrame(text);
    uint32_t count = kMaxChunkBytes;
    if (int result = controller.WaitReply(count, replyBuffer.data(), timing.replyTimeoutMs))
      return result;
    auto bytes = Bytes(replyBuffer, count);
    if (IsRefusalReply(bytes)) return ExchangeRefused;
    DecodedFrame frame;
    if (DecodeFrame(bytes, DataFrameStart(bytes), frame) != FrameOk ||
        receiveOffset + frame.length > image.size()) {
      return ExchangeFailed;  // not stored
    }
    std::copy(frame.data.begin(), frame.data.end(), image.begin() + receiveOffset);
    receiveOffset += frame.length;
    lastBlockLength = frame.length;
    if (frame.more == 0) {
      receivedBytes = std::exchange(receiveOffset, 0);
      return ExchangeLastBlock;
    }
    if (TestAbort()) {
      receiveOffset = 0;
      return ExchangeAborted;
    }
    return ExchangeOk;
  }

  // Ends on the first block that is refused or fails its tests (the conversation cannot
  // ask for it again, and a gap would misplace every later block), and after at most the
  // blocks the image can take at the handset's block size: a handset that goes on talking
  // past them is not sending an image.
  int DownloadImage() {
    Notify(NotifyProgress, 0);
    image.fill(0);
    receiveOffset = 0;
    receivedBytes = 0;
    if (ExchangeDataFrame(kDownloadRequest) != ExchangeOk) return Failed(SessionNoReply);
    // The first block is a whole one: its length is the handset's block size.
    if (lastBlockLength == 0) return SessionBadReply;
    const std::size_t blockLimit = (kImageSize + lastBlockLength - 1) / lastBlockLength + kExtraBlocks;
    std::size_t blocks = 1;
    int progress = kProgressPerExchange;
    Notify(NotifyProgress, progress);
    for (;;) {
      if (!Pause(timing.beforeAckMs)) return SessionAborted;
      int result = ExchangeDataFrame(kAck);
      if (result == ExchangeAborted) return SessionAborted;
      if (result == ExchangeNoReply) return Failed(SessionNoReply);
      if (result != ExchangeOk && result != ExchangeLastBlock) return Failed(SessionBadReply);
      progress += kProgressPerExchange;
      Notify(NotifyProgress, progress);
      if (result == ExchangeLastBlock) break;
      if (++blocks >= blockLimit) return SessionBadReply;
    }
    Notify(NotifyProgress, static_cast<int>(kImageSize));
    // An image of the wrong size would put misplaced bytes into the phonebook.
    if (receivedBytes != kImageSize) return SessionBadReply;
    return SessionOk;
  }

  int UploadImage() {
    if (!Pause(timing.aroundPutFileMs)) return SessionAborted;
    std::string command = "PUT_FILE<?pdata.bin,120000," + CurrentTimeStamp() + ">\r\n";
    if (SendCommand(command) != ExchangeOk) return Failed(SessionNoReply);
    bytesToSend = static_cast<int>(kImageSize);
    bytesSent = 0;
    if (!Pause(timing.aroundPutFileMs)) return SessionAborted;
    std::size_t blockOffset = 0;
    for (;;) {
      if (TestAbort()) return SessionAborted;
      std::size_t remaining = static_cast<std::size_t>(bytesToSend - bytesSent);
      bool more = remaining > kUploadBlock;
      std::size_t length = more ? kUploadBlock : remaining;
      bytesSent += static_cast<int>(length);
      controller.SendBytes(EncodeFrame(more ? 1 : 0, std::span(image.data() + blockOffset, length)));
      if (!Pause(timing.afterBlockMs)) return SessionAborted;
      std::vector<uint8_t> reply(kCommandReplyCapacity, 0);
      uint32_t count = kCommandReplyCapacity;
      if (controller.WaitReply(count, reply.data(), timing.replyTimeoutMs) != UtiOk)
        return Failed(SessionNoReply);
      auto text = TextAt(Bytes(reply, count), 7, kCommandReplyCapacity);
      if (ContainsText(text, "REJ") || ContainsText(text, "ERROR")) return SessionRejected;
      Notify(NotifyProgress, static_cast<int>(blockOffset));
      if (!more) {
        Notify(NotifyProgress, static_cast<int>(kImageSize));
        return SessionOk;
      }
      blockOffset += kUploadBlock;
    }
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

CUtiCtrl& CTransferSession::Controller() { return m_pCore->controller; }
const PhonebookImage& CTransferSession::Image() const { return m_pCore->image; }
int CTransferSession::SendFrame(std::string_view text) { return m_pCore->SendFrame(text); }
int CTransferSession::SendCommand(std::string_view text) { return m_pCore->SendCommand(text); }
int CTransferSession::ExchangeDataFrame(std::string_view text) { return m_pCore->ExchangeDataFrame(text); }
int CTransferSession::DownloadImage() { return m_pCore->DownloadImage(); }
int CTransferSession::UploadImage() { return m_pCore->UploadImage(); }

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

int CTransferSession::StartSession(bool bDownload, const ImageBuilder& buildImage) {
  if (IsRunning()) return SessionNoThread;
  Core& core = *m_pCore;
  {
    std::lock_guard<std::mutex> lock(core.signalLock);
    core.stop = core.downloadRequest = core.uploadRequest = core.abort = false;
    core.ending = core.threadEnded = false;
    core.open = true;
    core.controller.InterruptWaits(false);
  }
  int result = RunStart(bDownload, buildImage);
  std::lock_guard<std::mutex> lock(core.signalLock);
  // A step cut short by the user's abort failed because of it.
  if (result != SessionOk && core.abort) result = SessionAborted;
  return result;
}

int CTransferSession::RunStart(bool bDownload, const ImageBuilder& buildImage) {
  Core& core = *m_pCore;
  if (!bDownload) {
    // An image that cannot be built would wipe the handset's phonebook: send nothing.
    core.image.fill(0);
    if (!buildImage || buildImage(core.image) != 0) return SessionNoImage;
  }
  std::string name = m_strPortName;
  if (name.empty() && (core.controller.FindHandsetPort(name) != UtiFound || name.empty()))
    return SessionPortNotFound;
  core.controller.SetOpenRetryPause(m_timing.openRetryPauseMs);
  if (core.controller.Open(name) != UtiOk) return SessionPortUnavailable;
  if (!core.Pause(m_timing.afterOpenMs)) return SessionAborted;

  if (int result = WakeHandset()) return result;

  std::vector<uint8_t> reply(kCommandReplyCapacity, 0);
  uint32_t count = kCommandReplyCapacity;
  core.controller.SendText("AT*S\r");
  if (int result = core.controller.WaitReply(count, reply.data(), m_timing.replyTimeoutMs)) return result;
  auto text = Bytes(reply, count);
  if (!ContainsText(text, kOk)) return ContainsText(text, "ERROR\r\n") ? SessionLocked : SessionBadReply;

  if (int result = core.SendCommand("FT_START\r\n")) return result;
  if (!core.Pause(m_timing.startToDeleteMs)) return SessionAborted;
  if (int result = core.SendCommand("DEL<**ack**>\r\n")) return result;
  if (core.AbortRaised()) return SessionAborted;

  try {
    m_transferThread = std::thread(&CTransferSession::TransferThreadProc, m_pCore);
  } catch (const std::system_error&) {
    return SessionNoThread;
  }
  {
    std::lock_guard<std::mutex> lock(core.signalLock);
    (bDownload ? core.downloadRequest : core.uploadRequest) = true;
  }
  core.signalCv.notify_all();
  return SessionOk;
}

// Sends "AT\r" once and polls for "OK\r\n" among the collected replies, up to the
// wake-up limit, with the wait notice shown.
int CTransferSession::WakeHandset() {
  Core& core = *m_pCore;
  if (m_pWakeNotice) m_pWakeNotice->ShowWakeNotice();
  struct HideOnExit {
    IWakeNotice* notice;
    ~HideOnExit() {
      if (notice) notice->HideWakeNotice();
    }
  } hide{m_pWakeNotice};

  if (!core.Pause(m_timing.afterWaitNoticeMs)) return SessionAborted;
  core.controller.SendText("AT\r");
  auto started = std::chrono::steady_clock::now();
  std::array<uint8_t, kWakeCollectBytes> collected{};
  std::size_t writeAt = 0, used = 0;
  for (;;) {
    if (std::chrono::steady_clock::now() - started >= std::chrono::milliseconds(m_timing.wakeLimitMs))
      return SessionNoReply;
    std::vector<uint8_t> reply(kCommandReplyCapacity, 0);
    uint32_t count = kCommandReplyCapacity;
    core.controller.WaitReply(count, reply.data(), m_timing.replyTimeoutMs);
    for (uint8_t byte : TextAt(Bytes(reply, count), 0, kCommandReplyCapacity)) {
      collected[writeAt++] = byte;
      used = std::max(used, writeAt);
      if (writeAt == collected.size()) {  // full: start again, drop the rest of this reply
        writeAt = 0;
        break;
      }
    }
    if (ContainsText(std::span(collected.data(), used), kOk)) return SessionOk;
    // A line that hung up brings nothing more; one flooded past its queue brings nonsense.
    if (core.controller.LineDown()) return SessionNoReply;
    if (core.controller.ReceiveOverflowed()) return SessionBadReply;
    if (!core.Pause(m_timing.wakePollMs)) return SessionAborted;
  }
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
    int result = download ? core.DownloadImage() : core.UploadImage();
    core.Notify(download ? NotifyDownloadFinished : NotifyUploadFinished, result);
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
  core.controller.SendBytes(std::vector<uint8_t>(kEndOfLinkFrame.begin(), kEndOfLinkFrame.end()));
  std::this_thread::sleep_for(std::chrono::milliseconds(m_timing.afterEndOfLinkMs));
  core.controller.Close();
  std::lock_guard<std::mutex> lock(core.signalLock);
  core.open = false;
  core.controller.InterruptWaits(false);  // the controller serves the next session unhindered
}
