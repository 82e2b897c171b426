// The transfer session of one phonebook: its start (with the wake-up notice the view
// provides), its end, the abort signal, the image it moved, and where its notifications
// go. The blocking parts run off the user-interface thread so that the editor keeps
// painting and answering the desktop.
#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <string>

#include "comm/TransferSession.h"
#include "comm/TransferTiming.h"
#include "phonebook/PhonebookImage.h"

class CCommNotifyPoster;
class CLinkTrace;
class CDbPhoneCtrl;
class IWakeNotice;

class CDocumentTransfer : public QObject {
  Q_OBJECT

 public:
  // `store`: the phonebook an upload's image is built from.
  CDocumentTransfer(CDbPhoneCtrl& store, QObject* parent);
  ~CDocumentTransfer() override;

  // The image the last download received or the last upload sent; read it only after
  // the transfer's finished notification.
  const PhonebookImage& Image() const { return m_pSession->Image(); }

  // Wakes the handset with the wait notice up and returns the session's result; on Ok the
  // transfer runs and its progress and end reach `SetNotifyTarget`'s view as
  // WM_COMM_NOTIFY events.
  SessionResult StartSession(bool bDownload);
  // Ends the transfer thread, sends the end-of-link frame and closes the port.
  void EndSession();
  // Raises the abort signal, which the transfer tests between blocks.
  void AbortTransfer() { m_pSession->Abort(); }
  // From the start of a session to its end: a second one is refused meanwhile.
  bool IsTransferBusy() const { return m_bSessionOpen; }
  // The last session was an upload that told the handset to clear its phonebook.
  bool HandsetPhonebookAtRisk() const { return m_pSession->HandsetPhonebookAtRisk(); }
  // The port of the last session (empty when no handset was found).
  const std::string& SessionPortName() const { return m_pSession->PortName(); }
  // The blocking steps of a session (its start with the wake-up, its end, the restart
  // after an upload) run off the user-interface thread while the event loop turns, and
  // use the session, the store and the view's controller meanwhile. Until such a step has
  // returned nothing may close or change the phonebook: the command router holds back its
  // commands and the application's exit, and its window refuses to close.
  bool IsSessionStepRunning() const { return m_nSessionSteps > 0; }
  void RunSessionStep(const std::function<void()>& step);
  void SetNotifyTarget(QObject* view);
  // The notice shown while the handset wakes, provided by the view (not owned; null:
  // none). Change it only while no session runs.
  void SetWakeNotice(IWakeNotice* notice) { m_pSession->SetWakeNotice(notice); }
  const TransferTiming& Timing() const { return m_timing; }
  // The pauses of sessions of documents made from now on (tests shorten them).
  static void SetTransferTimingForNewDocuments(const TransferTiming& timing);
  // The file every phonebook's sessions add their link trace to from their next start on
  // (the steps and every byte, see CLinkTrace); empty: no trace, the default. A file
  // grown past kTraceFileLimit starts anew, the old one kept beside it as "<file>.old".
  static void SetTraceFile(const std::string& path);
  static const std::string& TraceFile();
  static constexpr long long kTraceFileLimit = 16LL << 20;

  // A closing phonebook ends its running transfer before its store goes; nothing of it
  // reports to the view any more.
  void EndOnClose();

 signals:
  // A session started or ended, or one of its blocking steps began or returned.
  void transferStateChanged();

 private:
  // Lets the session's trace go: the next session opens the trace file again.
  void StopTrace();

  CDbPhoneCtrl& m_store;
  CCommNotifyPoster* m_pPoster;   // child: carries the session's notifications
  const TransferTiming m_timing;  // the session's pauses
  // The handset controller, the 120000-byte image buffer and the transfer thread.
  std::unique_ptr<CTransferSession> m_pSession;
  std::shared_ptr<CLinkTrace> m_pTrace;  // of the open session, when traced
  bool m_bSessionOpen = false;    // between StartSession and EndSession
  int m_nSessionSteps = 0;        // blocking steps of the session running now
};
