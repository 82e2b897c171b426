// Download and upload from a phonebook's view, from the question to the last message.
#include "view/TransferRunner.h"

#include "backup/ui/BackupSettings.h"
#include "comm/RestartHandset.h"
#include "comm/TransferMessages.h"
#include "comm/UtiCtrl.h"
#include "doc/CommNotify.h"
#include "comm/ui/ProgressDialog.h"
#include "comm/ui/WaitNotice.h"
#include "doc/DocumentMessages.h"
#include "doc/UtilityDoc.h"
#include "doc/DocumentTransfer.h"
#include "strings/StringIds.h"
#include "ui/CommandHandlers.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "view/UploadBackupStep.h"

namespace {

constexpr MessageIds kConfirmDownload{IDS_CONFIRM_DOWNLOAD_CAPTION, IDS_CONFIRM_DOWNLOAD};
constexpr MessageIds kConfirmUpload{IDS_CONFIRM_UPLOAD_CAPTION, IDS_CONFIRM_UPLOAD};
constexpr MessageIds kNothingToUpload{IDS_NO_ENTRIES_CAPTION, IDS_NO_ENTRIES};

// The icon each message is shown with, by its caption.
MessageIcon IconOf(const MessageIds& ids) {
  switch (ids.caption) {
    case IDS_DOWNLOAD_DONE_CAPTION:
    case IDS_UPLOAD_DONE_CAPTION:
      return MessageIcon::None;
    case IDS_DOWNLOAD_ABORTED_CAPTION:
    case IDS_UPLOAD_ABORTED_CAPTION:
    case IDS_NO_ENTRIES_CAPTION:
      return MessageIcon::Warning;
    default:   // failures
      return MessageIcon::Error;
  }
}

PromptAnswer ShowTransferMessage(QWidget* owner, const MessageIds& ids, const std::string& argument = {}) {
  return ShowMessage(owner, Text(ids.caption), QString::fromStdString(MessageText(ids, argument)), IconOf(ids));
}

// A confirmation before overwriting.
bool Confirm(QWidget* owner, const MessageIds& ids) {
  return ConfirmOkCancel(owner, Text(ids.caption), Text(ids.text));
}

}  // namespace

CTransferRunner::CTransferRunner(CUtilityDoc* document, QWidget* view)
    : m_pDoc(document),
      m_pDocAlive(document),
      m_pView(view),
      m_pProgressDlg(std::make_unique<CProgressDialog>()),
      m_pRestartCtrl(std::make_unique<CUtiCtrl>()),
      m_pWaitNotice(new CWaitNotice(this)) {
  m_pProgressDlg->m_onAbort = [document] { document->Transfer().AbortTransfer(); };
  m_pDoc->Transfer().SetNotifyTarget(this);
  m_pDoc->Transfer().SetWakeNotice(m_pWaitNotice);
  // A closed phonebook's transfer has ended without a word: its progress goes too.
  connect(m_pDoc, &CUtilityDoc::documentClosing, this, [this] {
    m_bHoldNotifications = false;
    m_heldNotifications.clear();
    if (m_pProgressDlg->HasWindow()) m_pProgressDlg->EndDialog(0);
  });
}

CTransferRunner::~CTransferRunner() {
  if (m_pDocAlive) m_pDoc->Transfer().SetWakeNotice(nullptr);
}

void CTransferRunner::OnDownload() {
  if (m_pDoc->Transfer().IsTransferBusy()) return;
  if (m_pDoc->IsModified() && !Confirm(m_pView, kConfirmDownload)) return;
  Run(true);
}

void CTransferRunner::OnUpload() {
  if (m_pDoc->Transfer().IsTransferBusy()) return;
  if (m_pDoc->Store().EntryCount() == 0) {
    ShowTransferMessage(m_pView, kNothingToUpload);
    return;
  }
  if (BackupBeforeUpload()) {
    UploadWithBackup();
    return;
  }
  if (!Confirm(m_pView, kConfirmUpload)) return;
  m_strBackupName.clear();
  Run(false);
}

// The backup's download is a session of its own: the handset serves one transfer per
// session, and the preview may keep the user for any time in between.
void CTransferRunner::UploadWithBackup() {
  QPointer<CTransferRunner> alive(this);
  m_strBackupName.clear();
  m_bBackupTaken = false;
  m_bBackupDownload = true;
  Run(true);
  // Not started, failed, aborted or closed: its message, if any, has been shown.
  if (!alive || !m_bBackupTaken || !m_pView) return;
  std::string backupName;
  if (!BackUpAndPreview(*m_pDoc, m_pView, backupName) || !alive) return;
  m_strBackupName = backupName;
  Run(false);
}

MessageIds CTransferRunner::WithBackupNote(const MessageIds& ids, bool bDownload) const {
  if (bDownload && m_bBackupDownload) return WithNote(ids, IDS_BACKUP_NOT_TAKEN_NOTE);
  if (!bDownload && !m_strBackupName.empty()) return WithNote(ids, IDS_BACKUP_HOLDS_PHONEBOOK);
  return ids;
}

void CTransferRunner::ShowResult(const MessageIds& ids, bool bDownload) {
  ShowTransferMessage(m_pView, WithBackupNote(ids, bDownload), m_strBackupName);
  if (bDownload) m_bBackupDownload = false;
}

void CTransferRunner::Run(bool bDownload) {
  QPointer<CTransferRunner> alive(this);
  // The transfer thread may report before the progress dialog is up; those reports wait.
  m_bHoldNotifications = true;
  const SessionResult result = m_pDoc->Transfer().StartSession(bDownload);
  if (!alive) return;
  if (result != SessionResult::Ok) {
    m_bHoldNotifications = false;
    m_heldNotifications.clear();
    m_pDoc->Transfer().EndSession();
    ShowResult(StartFailureMessage(result, bDownload, m_pDoc->Transfer().HandsetPhonebookAtRisk()), bDownload);
    return;
  }
  CProgressDialog& dialog = *m_pProgressDlg;
  dialog.m_strTitle = m_bBackupDownload && bDownload ? Text(IDS_BACKUP_PROGRESS_TITLE)
                                                     : QString::fromUtf8(bDownload ? "ダウンロード中..." : "アップロード中...");
  // Queued behind what the thread posted so far: it runs once the dialog is showing.
  QMetaObject::invokeMethod(this, &CTransferRunner::ReleaseHeldNotifications, Qt::QueuedConnection);
  dialog.DoModal();
  // The runner goes on in OnCommNotify; if the window was closed meanwhile, nothing is left to do.
}

bool CTransferRunner::event(QEvent* event) {
  if (event->type() != WM_COMM_NOTIFY) return QObject::event(event);
  auto* notify = static_cast<CommNotifyEvent*>(event);
  if (m_bHoldNotifications)
    m_heldNotifications.emplace_back(notify->wParam(), notify->lParam());
  else
    OnCommNotify(notify->wParam(), notify->lParam());
  return true;
}

void CTransferRunner::ReleaseHeldNotifications() {
  m_bHoldNotifications = false;
  QPointer<CTransferRunner> alive(this);
  std::vector<std::pair<int, long>> held;
  held.swap(m_heldNotifications);
  for (const auto& [kind, value] : held) {
    OnCommNotify(kind, value);
    if (!alive) return;
  }
}

void CTransferRunner::OnCommNotify(int kind, long value) {
  CProgressDialog& dialog = *m_pProgressDlg;
  if (kind == NotifyProgress) {
    if (dialog.HasWindow()) dialog.SetProgress(value);
    return;
  }
  if (kind != NotifyDownloadFinished && kind != NotifyUploadFinished) return;
  const bool bDownload = kind == NotifyDownloadFinished;
  const auto result = static_cast<SessionResult>(value);  // the event carries the session's code

  const bool dialogUp = dialog.HasWindow();
  if (dialogUp) dialog.EndDialog(0);
  QPointer<CTransferRunner> alive(this);
  m_pDoc->Transfer().EndSession();
  if (!alive || !m_pView) return;
  // A backup taken after the user pressed Abort is not used: the upload was stopped.
  const bool backupTaken = bDownload && m_bBackupDownload && result == SessionResult::Ok && dialogUp;
  if (bDownload && m_bBackupDownload && !backupTaken) {
    ShowResult(TransferResultMessage(result == SessionResult::Ok ? SessionResult::Aborted : result, bDownload), bDownload);
    return;
  }
  if (backupTaken) {
    m_bBackupDownload = false;
    m_bBackupTaken = true;  // UploadWithBackup goes on once the dialog's run has returned
    return;
  }
  if (result != SessionResult::Ok) {
    ShowResult(TransferResultMessage(result, bDownload, m_pDoc->Transfer().HandsetPhonebookAtRisk()), bDownload);
    return;
  }
  if (bDownload) {
    if (!StoreDownloadedEntries()) return;
    m_pDoc->UpdateAllViews();
    ShowTransferMessage(m_pView, TransferResultMessage(result, bDownload));
    m_pDoc->SetModifiedFlag();
  } else {
    // The message tells the user the handset restarts; it restarts once the box is closed.
    ShowTransferMessage(m_pView, TransferResultMessage(result, bDownload));
    if (alive) RestartHandset();
  }
}

bool CTransferRunner::StoreDownloadedEntries() {
  // The received entries replace the list whole, or (when the store fails) not at all.
  CDbPhoneCtrl& store = m_pDoc->Store();
  const auto step = m_pDoc->BeginStep(IDS_STEP_DOWNLOAD);
  if (LoadPhonebookImage(m_pDoc->Transfer().Image(), store) == StoreResult::Ok) return true;
  const MessageIds failed = TransferResultMessage(SessionResult::BadReply, true);
  ShowStoreFailure(m_pView, Text(failed.caption), Text(failed.text), store, store.LastOsError());
  return false;
}

void CTransferRunner::RestartHandset() {
  const TransferTiming timing = m_pDoc->Transfer().Timing();
  CUtiCtrl& ctrl = *m_pRestartCtrl;
  // Nothing is reported: the success message has already said that the handset restarts.
  m_pDoc->Transfer().RunSessionStep([&] { ::RestartHandset(ctrl, std::string(), timing); });
}

void CTransferRunner::BindCommands(CCommandHandlers& commands) {
  // Refused while this phonebook's last session is still ending (after Abort).
  const auto idle = [document = m_pDoc] { return !document->Transfer().IsTransferBusy(); };
  commands.BindWhen(ID_DOWNLOAD, idle, [this] { OnDownload(); });
  commands.BindWhen(ID_UPLOAD, idle, [this] { OnUpload(); });
}
