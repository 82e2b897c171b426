// The byte pipe to a serial port: one reader thread per open port does every read and
// write; callers exchange whole chunks with it through a receive queue and a send queue.
// A chunk is what arrived in one burst: reading stops once the interval time-out passes
// without a byte after at least one byte arrived. The receive queue is bounded: a device
// that talks faster than the caller takes its chunks overflows it, and the channel then
// drops what it receives and reports the overflow until it is closed. The hooks run on
// the reader thread: a class that overrides them closes the port in its own destructor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "comm/AutoResetEvent.h"

class CLinkTrace;

// Results of the channel's operations (0 is success; each operation names its own).
enum CommResult : int {
  CommOk = 0,
  CommOpenFailed = 1,    // OpenPort: already open or cannot be opened
  CommWriteClosed = 1,   // WriteData: port closed
  CommSetupFailed = 2,   // OpenPort: a set-up step failed; ClosePort: purge, DTR or close failed
  CommNoChunk = 3,       // ReadData: nothing queued
  CommReadClosed = 4,    // ReadData: port closed
  CommOverflow = 5       // ReadData: the receive queue overflowed; received bytes were lost
};

// Line time-outs in milliseconds, as the handset's driver takes them. Only the read
// fields shape the reader's chunks; writes have no time-out.
struct CommTimeouts {
  uint32_t ReadIntervalTimeout = 0;          // silence that ends a chunk (0: none)
  uint32_t ReadTotalTimeoutMultiplier = 0;   // per byte of the 32768-byte read
  uint32_t ReadTotalTimeoutConstant = 0;     // added to the above
  uint32_t WriteTotalTimeoutMultiplier = 0;
  uint32_t WriteTotalTimeoutConstant = 0;
};

enum FlowControl : int { FlowNone = 0, FlowHardware = 1 };

inline constexpr uint32_t kMaxChunkBytes = 32768;   // one read request
inline constexpr int kOpenRetryPauseMs = 5000;      // before the one retry of OpenPort
inline constexpr int kCloseWaitMs = 1000;           // each wait for the reader in ClosePort
// The receive queue's bound. A handset answers each request with one chunk, so a caller
// that keeps up never holds more than a few; more means the device talks without end.
inline constexpr std::size_t kMaxQueuedBytes = 4 * kMaxChunkBytes;
inline constexpr std::size_t kMaxQueuedChunks = 64;

using CommCallback = void (*)(void* user, uint32_t count);

class CWCommCtrl {
 public:
  CWCommCtrl();
  virtual ~CWCommCtrl();
  CWCommCtrl(const CWCommCtrl&) = delete;
  CWCommCtrl& operator=(const CWCommCtrl&) = delete;

  int OpenPort(const std::string& portName);
  int ClosePort();
  // Queues the bytes for the reader thread; returns at once.
  int WriteData(uint32_t count, const uint8_t* bytes);
  // Takes the oldest received chunk without waiting. `count` gives the buffer's capacity
  // and receives the chunk's length; a longer chunk is cut to the capacity.
  int ReadData(uint32_t& count, uint8_t* buffer);
  int SetFlowControl(FlowControl mode);
  int SetTimeouts(CommTimeouts timeouts);
  int SetReceiveCallback(CommCallback callback, void* user);

  bool IsOpen() const { return m_pLink != nullptr; }
  const std::string& PortPath() const { return m_strPortPath; }
  // The system's error number of the last device open that failed (0 when none did).
  int LastOpenError() const { return m_nLastOpenError; }
  // The pause before OpenPort's retry (tests shorten it).
  void SetOpenRetryPause(int ms) { m_nOpenRetryPauseMs = ms; }
  // Where every byte read or written goes from the next OpenPort on; null: nowhere.
  void SetTrace(std::shared_ptr<CLinkTrace> trace) { m_pTrace = std::move(trace); }

  // True once the reader thread ended because the device failed or hung up: no further
  // chunks can arrive until the port is opened again.
  bool LineDown() const;
  // True once the receive queue overflowed (until the port is closed).
  bool ReceiveOverflowed() const;
  // Bytes waiting in the receive queue.
  std::size_t ReceiveQueueBytes() const;

  // Makes OpenPort's retry pause and Pause() end at once (true) until cleared; lets
  // another thread cut short whatever waits on this channel.
  void InterruptPauses(bool interrupt) { m_pauseSignal.SetInterrupted(interrupt); }
  // Waits `ms`; false when interrupted before or during the wait.
  bool Pause(int ms);

 protected:
  // Raised on the reader thread.
  virtual void OnReceive(uint32_t count);
  virtual void OnSendComplete();
  virtual void OnLineDown();  // the reader ended because the device failed or hung up

 private:
  struct Link;
  static void ReaderThreadProc(std::shared_ptr<Link> link);
  int OpenSequence();
  bool WaitReaderEnded(int timeoutMs);

  std::shared_ptr<Link> m_pLink;        // the open port and its queues; null while closed
  std::thread m_readerThread;           // not joinable while no reader runs
  bool m_bThreaded = false;             // the reader thread owns the port's I/O
  std::string m_strPortPath;            // device path of the port
  int m_nLastOpenError = 0;             // errno of the last failed open
  int m_nOpenRetryPauseMs = kOpenRetryPauseMs;
  CommCallback m_pfnReceive = nullptr;  // raised by OnReceive
  void* m_pCallbackUser = nullptr;      // passed to the callback
  CAutoResetEvent m_pauseSignal;        // never raised: only its interruption ends a pause
  std::shared_ptr<CLinkTrace> m_pTrace; // see SetTrace
};
