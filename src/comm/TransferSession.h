// A transfer session: finds and opens the handset's port, wakes the handset and switches
// it to file-transfer mode on the calling thread, then runs one download or upload of the
// phonebook image on a transfer thread of its own, reporting progress and the result to
// an observer.
#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "comm/LinkTrace.h"
#include "comm/TransferObserver.h"
#include "comm/TransferTiming.h"
#include "comm/UtiCtrl.h"
#include "phonebook/PhonebookImage.h"

// Results of StartSession, DownloadImage and UploadImage. The numbers are part of the
// editor's WM_COMM_NOTIFY (its lParam) and are kept.
enum class [[nodiscard]] SessionResult {
  Ok = 0,
  PortNotFound = 1,     // no handset port, or its name is empty
  PortUnavailable = 2,  // the port cannot be opened
  NoImage = 3,          // upload: the image could not be built from the phonebook
  BadReply = 4,         // wrong or missing reply text; a failed download
  NoReply = 5,          // no reply in time
  Rejected = 6,         // upload: the handset refused a block
  NoThread = 8,         // the transfer thread cannot be started (or one runs)
  NoRequest = 9,        // the request cannot be raised
  Aborted = 10,         // the user aborted
  Locked = 11           // the handset's phonebook is locked
};

// A session's result in words, for the link trace.
std::string_view SessionResultName(SessionResult result);

// Results of the framed exchanges.
enum class [[nodiscard]] ExchangeResult {
  Ok = 0,          // reply accepted; for a data request: block stored, more follow
  Failed = 4,      // wrong reply, failed frame, or signalled without a chunk
  NoReply = 5,     // no reply in time
  Aborted = 10,    // block stored, more follow, and the user aborted
  LastBlock = 12,  // the last block stored
  Refused = 13     // the handset refused the request
};

// Fills a zeroed image from the phonebook.
using ImageBuilder = std::function<StoreResult(PhonebookImage&)>;

// "%Y%m%d%H%M%S" of a local time: 14 digits.
std::string FormatTimeStamp(const std::tm& localTime);
// The current local time so formatted; empty when it cannot be had.
std::string CurrentTimeStamp();

class CTransferSession {
 public:
  explicit CTransferSession(const TransferTiming& timing = {});
  // A session talking through `controller` (a stand-in for tests) instead of its own.
  CTransferSession(std::unique_ptr<CUtiCtrl> controller, const TransferTiming& timing);
  ~CTransferSession();  // ends a running session
  CTransferSession(const CTransferSession&) = delete;
  CTransferSession& operator=(const CTransferSession&) = delete;

  // Set before StartSession; both may be null.
  void SetObserver(ITransferObserver* observer);
  void SetWakeNotice(IWakeNotice* notice) { m_pWakeNotice = notice; }
  // Where the session writes its steps and the channel every byte (between sessions
  // only); null: nowhere.
  void SetTrace(std::shared_ptr<CLinkTrace> trace);
  // A named port skips the search for the handset; empty: search.
  void SetPortName(std::string portName) { m_strPortName = std::move(portName); }
  // The port the last StartSession named or found (empty when none was found).
  const std::string& PortName() const { return m_strSessionPort; }

  // The controller the session talks through (between sessions only).
  CUtiCtrl& Controller();

  // true: download, false: upload (the image is built first; nothing is sent when that
  // fails). Ok when the transfer runs; its end is reported to the observer.
  SessionResult StartSession(bool bDownload, const ImageBuilder& buildImage = {});
  // Ends the transfer thread (promptly, even in mid-transfer), sends the end-of-link
  // frame and closes the port. Safe to call at any time and more than once.
  void EndSession();
  // Raises the abort signal (from any thread). While a session is open it also ends every
  // wait at once: StartSession then returns Aborted, and a running transfer finishes so
  // unless it had already finished.
  void Abort();
  bool IsRunning() const { return m_transferThread.joinable(); }
  // True once this session, an upload, told the handset to clear its phonebook ("DEL"),
  // until the next StartSession: a failure from then on may have left the handset's
  // phonebook empty or incomplete.
  bool HandsetPhonebookAtRisk() const { return m_bHandsetAtRisk; }

  // The image received by the last download, or sent by the last upload. Read it only
  // after the finished notification.
  const PhonebookImage& Image() const;

  // The framed exchanges and the two transfers, as the transfer thread runs them
  // (public for their tests; call them only on a session whose thread is not running).
  ExchangeResult SendFrame(std::string_view text);
  ExchangeResult SendCommand(std::string_view text);
  ExchangeResult ExchangeDataFrame(std::string_view text);
  SessionResult DownloadImage();
  SessionResult UploadImage();

 private:
  struct Core;
  static void TransferThreadProc(std::shared_ptr<Core> core);
  SessionResult RunStart(bool bDownload, const ImageBuilder& buildImage);
  SessionResult WakeHandset();
  SessionResult SwitchToFileTransfer();

  TransferTiming m_timing;
  std::shared_ptr<CLinkTrace> m_pTrace; // see SetTrace
  std::mutex m_coreLock;                // guards m_pCore against Abort on another thread
  std::shared_ptr<Core> m_pCore;        // what the transfer thread shares
  std::thread m_transferThread;         // not joinable while no thread runs
  ITransferObserver* m_pObserver = nullptr;
  IWakeNotice* m_pWakeNotice = nullptr;
  std::string m_strPortName;            // empty: find the handset
  std::string m_strSessionPort;         // the port of the last session
  bool m_bHandsetAtRisk = false;        // an upload sent "DEL" in this session
};
