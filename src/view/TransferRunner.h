// The transfer conversation of a phonebook's view: the questions before a download or an
// upload (for an upload, unless the user turned it off, a backup of the handset's phonebook
// downloaded in a session of its own and a preview of the changes), the progress dialog,
// the session's notifications (held back until the dialog is up), every result message,
// the received entries into the store, and the restart of the handset after an upload.
// The view owns one, which binds the two commands.
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CCommandHandlers;
class CProgressDialog;
class CUtiCtrl;
class CUtilityDoc;
class CWaitNotice;
class QWidget;
struct MessageIds;

class CTransferRunner : public QObject {
  Q_OBJECT

 public:
  // `view` owns the messages; the document's views are refreshed after a download.
  CTransferRunner(CUtilityDoc* document, QWidget* view);
  ~CTransferRunner() override;

  // The commands: ask where something would be overwritten, then run the session.
  void OnDownload();
  void OnUpload();
  // After an upload: reopens the handset's port and sends "!!restart".
  void RestartHandset();

  CProgressDialog& ProgressDialog() const { return *m_pProgressDlg; }
  // The notice the document's session shows while the handset wakes.
  CWaitNotice& WaitNotice() const { return *m_pWaitNotice; }
  void BindCommands(CCommandHandlers& commands);

 protected:
  // The session's WM_COMM_NOTIFY events.
  bool event(QEvent* event) override;

 private:
  // Starts a download or upload and shows its progress until it ends or is aborted.
  void Run(bool bDownload);
  // The upload after the handset's phonebook was downloaded, kept and the changes agreed.
  void UploadWithBackup();
  // `ids` with the note of the backup step the transfer belongs to, if any.
  MessageIds WithBackupNote(const MessageIds& ids, bool bDownload) const;
  void ShowResult(const MessageIds& ids, bool bDownload);
  // Hands on the notifications that arrived before the progress dialog was up.
  void ReleaseHeldNotifications();
  void OnCommNotify(int kind, long value);
  // A download's entries into the store; false (after the message) when it refused them.
  bool StoreDownloadedEntries();

  CUtilityDoc* m_pDoc;
  QPointer<CUtilityDoc> m_pDocAlive;  // null once the document has gone before the view
  QPointer<QWidget> m_pView;
  std::unique_ptr<CProgressDialog> m_pProgressDlg;   // reused by every transfer
  std::unique_ptr<CUtiCtrl> m_pRestartCtrl;          // only for RestartHandset
  CWaitNotice* m_pWaitNotice;                        // child: the wake-up notice
  // While a session starts, its notifications wait here until the progress dialog is up.
  bool m_bHoldNotifications = false;
  std::vector<std::pair<int, long>> m_heldNotifications;
  // From the start of the backup's download until its end has been handled.
  bool m_bBackupDownload = false;
  // The backup's download succeeded while its progress dialog was up: the upload may follow.
  bool m_bBackupTaken = false;
  std::string m_strBackupName;  // the backup of the upload that runs now (empty: none)
};
