// The serial channel: the open sequence, the reader thread that cuts received bytes into
// bursts and writes queued chunks in order, and a close that never waits without bound.
#include "comm/WCommCtrl.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "comm/LinkTrace.h"
#include "comm/WDataQueue.h"
#include "platform/SerialPort.h"

using Clock = std::chrono::steady_clock;

// Everything the reader thread touches. Shared with the thread, so that a thread that
// failed to end in time keeps its own state alive and never reaches the closed channel.
struct CWCommCtrl::Link {
  SerialPort port;
  std::mutex sendLock;                  // guards sendQueue
  CWDataQueue sendQueue;
  std::mutex receiveLock;               // guards receiveQueue and overflowed
  CWDataQueue receiveQueue;
  bool overflowed = false;              // the queue overflowed: received bytes are dropped
  std::atomic<bool> lineDown{false};    // the reader ended because the device failed
  std::atomic<uint32_t> intervalMs{0};  // the read time-outs in force
  std::atomic<uint32_t> totalMultiplier{0};
  std::atomic<uint32_t> totalConstant{0};
  std::mutex ownerLock;                 // guards owner
  CWCommCtrl* owner = nullptr;          // receives the hooks; null once abandoned
  std::mutex endLock;                   // guards ended
  std::condition_variable endCv;
  bool ended = false;                   // the reader thread has finished
  std::shared_ptr<CLinkTrace> trace;    // every byte read and written; null: not traced
};

namespace {

constexpr CommTimeouts kOpenTimeouts{5, 0, 0, 0, 0};

enum class WriteOutcome { Done, Stop, Failed };

}  // namespace

CWCommCtrl::CWCommCtrl() = default;

CWCommCtrl::~CWCommCtrl() { ClosePort(); }

void CWCommCtrl::OnReceive(uint32_t count) {
  if (m_pfnReceive) m_pfnReceive(m_pCallbackUser, count);
}

void CWCommCtrl::OnSendComplete() {}

void CWCommCtrl::OnLineDown() {}

bool CWCommCtrl::LineDown() const { return m_pLink && m_pLink->lineDown; }

bool CWCommCtrl::ReceiveOverflowed() const {
  if (!m_pLink) return false;
  std::lock_guard<std::mutex> lock(m_pLink->receiveLock);
  return m_pLink->overflowed;
}

std::size_t CWCommCtrl::ReceiveQueueBytes() const {
  if (!m_pLink) return 0;
  std::lock_guard<std::mutex> lock(m_pLink->receiveLock);
  return m_pLink->receiveQueue.Bytes();
}

bool CWCommCtrl::Pause(int ms) {
  m_pauseSignal.Wait(ms);  // nothing raises it: it ends by time-out or interruption
  return !m_pauseSignal.IsInterrupted();
}

int CWCommCtrl::SetReceiveCallback(CommCallback callback, void* user) {
  m_pfnReceive = callback;
  m_pCallbackUser = user;
  return CommOk;
}

int CWCommCtrl::OpenPort(const std::string& portName) {
  m_strPortPath = SerialDevicePath(portName);
  int result = OpenSequence();
  if (result != CommOk) {
    ClosePort();
    if (!Pause(m_nOpenRetryPauseMs)) return result;  // interrupted: no retry
    result = OpenSequence();
    if (result != CommOk) ClosePort();
  }
  return result;
}

int CWCommCtrl::OpenSequence() {
  if (m_pLink) return CommOpenFailed;
  m_pLink = std::make_shared<Link>();
  m_pLink->owner = this;
  m_pLink->trace = m_pTrace;
  SerialPort& port = m_pLink->port;
  if (int error = port.Open(m_strPortPath); error != 0) {
    m_nLastOpenError = error;
    return CommOpenFailed;
  }
  m_nLastOpenError = 0;
  if (!port.Purge() || !port.ConfigureLine() || !port.SetDtr(true)) return CommSetupFailed;
  // Modem-line events are not watched: nothing in the program reacts to them.
  if (SetTimeouts(kOpenTimeouts) != CommOk) return CommSetupFailed;
  try {
    m_readerThread = std::thread(&CWCommCtrl::ReaderThreadProc, m_pLink);
  } catch (const std::system_error&) {
    ClosePort();
    return CommSetupFailed;
  }
  m_bThreaded = true;
  return CommOk;
}

bool CWCommCtrl::WaitReaderEnded(int timeoutMs) {
  std::unique_lock<std::mutex> lock(m_pLink->endLock);
  return m_pLink->endCv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [this] { return m_pLink->ended; });
}

int CWCommCtrl::ClosePort() {
  if (!m_pLink) return CommOk;
  int result = CommOk;
  Link& link = *m_pLink;
  if (m_readerThread.joinable()) {
    link.port.RaiseStop();
    std::this_thread::yield();
    if (WaitReaderEnded(kCloseWaitMs)) {
      m_readerThread.join();
      link.port.ResetStop();
    }
  }
  {
    std::scoped_lock lock(link.sendLock, link.receiveLock);
    link.sendQueue.Clear();
    link.receiveQueue.Clear();
  }
  if (!m_readerThread.joinable() && link.port.IsOpen()) {
    if (!link.port.Purge()) result = CommSetupFailed;
    if (!link.port.SetDtr(false)) result = CommSetupFailed;
    link.port.Purge();
    if (!link.port.Close()) result = CommSetupFailed;
  }
  if (m_readerThread.joinable()) {
    if (WaitReaderEnded(kCloseWaitMs)) {
      m_readerThread.join();
    } else {
      // The thread keeps its Link (and with it the device) until it ends by itself;
      // it no longer calls back into this channel.
      std::lock_guard<std::mutex> lock(link.ownerLock);
      link.owner = nullptr;
      m_readerThread.detach();
    }
  }
  m_pLink.reset();
  m_bThreaded = false;
  return result;
}

int CWCommCtrl::WriteData(uint32_t count, const uint8_t* bytes) {
  if (!m_pLink) return CommWriteClosed;
  if (count == 0) return CommOk;
  {
    std::lock_guard<std::mutex> lock(m_pLink->sendLock);
    m_pLink->sendQueue.PushBack(bytes, count);
  }
  m_pLink->port.RaiseSendRequest();
  return CommOk;
}

int CWCommCtrl::ReadData(uint32_t& count, uint8_t* buffer) {
  if (!m_pLink) return CommReadClosed;
  ByteChunk chunk;
  {
    std::lock_guard<std::mutex> lock(m_pLink->receiveLock);
    if (m_pLink->overflowed) return CommOverflow;
    if (!m_pLink->receiveQueue.PopFront(chunk)) return CommNoChunk;
  }
  count = std::min<uint32_t>(count, static_cast<uint32_t>(chunk.size()));
  std::copy_n(chunk.begin(), count, buffer);
  return CommOk;
}

int CWCommCtrl::SetFlowControl(FlowControl mode) {
  if (!m_pLink) return CommSetupFailed;
  SerialPort& port = m_pLink->port;
  bool ok = port.SetHardwareFlowControl(mode == FlowHardware) && port.SetDtr(true);
  return ok ? CommOk : CommSetupFailed;
}

int CWCommCtrl::SetTimeouts(CommTimeouts timeouts) {
  if (!m_pLink || !m_pLink->port.IsOpen()) return CommSetupFailed;
  if (!m_pLink->port.SetReadTimeouts(timeouts.ReadIntervalTimeout, timeouts.ReadTotalTimeoutMultiplier,
                                     timeouts.ReadTotalTimeoutConstant)) {
    return CommSetupFailed;
  }
  m_pLink->intervalMs = timeouts.ReadIntervalTimeout;
  m_pLink->totalMultiplier = timeouts.ReadTotalTimeoutMultiplier;
  m_pLink->totalConstant = timeouts.ReadTotalTimeoutConstant;
  return CommOk;
}

namespace {

// Writes the oldest queued chunk completely, waiting while the device is full.
template <typename Link>
WriteOutcome WriteOldest(Link& link) {
  ByteChunk chunk;
  {
    std::lock_guard<std::mutex> lock(link.sendLock);
    if (!link.sendQueue.PopFront(chunk)) return WriteOutcome::Done;
  }
  std::size_t done = 0;
  while (done < chunk.size()) {
    long n = link.port.Write(chunk.data() + done, chunk.size() - done);
    if (n < 0) return WriteOutcome::Failed;
    if (n > 0) {
      if (link.trace) link.trace->Sent(chunk.data() + done, static_cast<std::size_t>(n));
      done += static_cast<std::size_t>(n);
      continue;
    }
    SerialPort::Wake wake = link.port.WaitWritable();
    if (wake == SerialPort::Wake::Stop) return WriteOutcome::Stop;
    if (wake == SerialPort::Wake::Failed) return WriteOutcome::Failed;
  }
  return WriteOutcome::Done;
}

}  // namespace

void CWCommCtrl::ReaderThreadProc(std::shared_ptr<Link> shared) {
  Link& link = *shared;
  SerialPort& port = link.port;
  std::vector<uint8_t> buffer(kMaxChunkBytes);
  std::size_t have = 0;                   // bytes of the burst being collected
  Clock::time_point first{}, last{};      // its first and latest byte

  auto deliver = [&] {
    if (have == 0) return;
    {
      std::lock_guard<std::mutex> lock(link.receiveLock);
      CWDataQueue& queue = link.receiveQueue;
      if (!link.overflowed &&
          (queue.Count() >= kMaxQueuedChunks || queue.Bytes() + have > kMaxQueuedBytes)) {
        // The device talks faster than it is listened to: what is queued is no longer a
        // conversation. Drop it and everything after; the caller learns of it by ReadData.
        queue.Clear();
        link.overflowed = true;
      }
      if (!link.overflowed) queue.PushBack(buffer.data(), have);
    }
    {
      std::lock_guard<std::mutex> lock(link.ownerLock);
      if (link.owner) link.owner->OnReceive(static_cast<uint32_t>(have));
    }
    have = 0;
  };
  // When the burst being collected is complete: the interval passed without a byte, or
  // the read's total time-out ran out.
  auto burstDeadline = [&] {
    Clock::time_point deadline = Clock::time_point::max();
    if (uint32_t interval = link.intervalMs; interval > 0)
      deadline = last + std::chrono::milliseconds(interval);
    uint64_t total = uint64_t(link.totalMultiplier) * kMaxChunkBytes + link.totalConstant;
    if (total > 0) deadline = std::min(deadline, first + std::chrono::milliseconds(total));
    return deadline;
  };

  for (;;) {
    if (port.StopRaised()) break;
    int timeoutMs = -1;
    if (have > 0) {
      Clock::time_point deadline = burstDeadline();
      Clock::time_point now = Clock::now();
      if (now >= deadline) {
        deliver();
        continue;
      }
      if (deadline != Clock::time_point::max()) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        timeoutMs = static_cast<int>(std::min<int64_t>(left, 1 << 30));
      }
    }
    SerialPort::Wake wake = port.WaitReadable(timeoutMs);
    if (wake == SerialPort::Wake::Readable) {
      long n = port.Read(buffer.data() + have, buffer.size() - have);
      if (n < 0) {  // the device failed or hung up: no further chunks
        deliver();
        break;
      }
      if (n > 0) {
        if (link.trace) link.trace->Received(buffer.data() + have, static_cast<std::size_t>(n));
        Clock::time_point now = Clock::now();
        if (have == 0) first = now;
        last = now;
        have += static_cast<std::size_t>(n);
        if (have == buffer.size()) deliver();
      }
    } else if (wake == SerialPort::Wake::SendRequest) {
      WriteOutcome outcome = WriteOldest(link);
      if (outcome == WriteOutcome::Failed) break;
      if (outcome == WriteOutcome::Stop) continue;  // ended at the top of the loop
      bool empty;
      {
        std::lock_guard<std::mutex> lock(link.sendLock);
        empty = link.sendQueue.IsEmpty();
      }
      if (!empty) {
        port.RaiseSendRequest();
      } else {
        std::lock_guard<std::mutex> lock(link.ownerLock);
        if (link.owner) link.owner->OnSendComplete();
      }
    } else if (wake == SerialPort::Wake::Failed) {
      break;
    }
  }
  if (port.StopRaised()) {
    port.Purge();
  } else {
    link.lineDown = true;
    std::lock_guard<std::mutex> lock(link.ownerLock);
    if (link.owner) link.owner->OnLineDown();
  }
  {
    std::lock_guard<std::mutex> lock(link.endLock);
    link.ended = true;
  }
  link.endCv.notify_all();
}
