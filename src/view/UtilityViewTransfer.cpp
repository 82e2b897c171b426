// The view's transfer commands: Download and Upload with their confirmations, the
// progress dialog, the handling of the transfer's WM_COMM_NOTIFY events, every result
// message, and the restart of the handset after an upload.
#include "view/UtilityView.h"

#include <QPointer>

#include "app/QtText.h"
#include "app/UserPrompts.h"
#include "app/UtilityDoc.h"
#include "comm/RestartHandset.h"
#include "comm/TransferMessages.h"
#include "comm/UtiCtrl.h"
#include "comm/ui/ProgressDialog.h"
#include "comm/ui/PumpedCall.h"
#include "view/CommNotify.h"

namespace {

constexpr MessageIds kConfirmDownload{148, 149};
constexpr MessageIds kConfirmUpload{156, 157};
constexpr MessageIds kNothingToUpload{166, 167};

// The icon each message is shown with, by its caption.
MessageIcon IconOf(const MessageIds& ids) {
  switch (ids.caption) {
    case 150:  // download succeeded
    case 158:  // upload succeeded
      return MessageIcon::None;
    case 154:  // aborted
    case 162:
    case 166:  // nothing to upload
      return MessageIcon::Warning;
    default:   // failures
      return MessageIcon::Error;
  }
}

PromptAnswer ShowTransferMessage(QWidget* owner, const MessageIds& ids) {
  return ShowMessage(owner, Text(ids.caption), Text(ids.text), IconOf(ids));
}

// A confirmation before overwriting.
bool Confirm(QWidget* owner, const MessageIds& ids) {
  return ConfirmOkCancel(owner, Text(ids.caption), Text(ids.text));
}

}  // namespace

void CUtilityView::OnDownload() {
  if (m_pDoc->IsTransferBusy()) return;
  if (m_pDoc->IsModified() && !Confirm(this, kConfirmDownload)) return;
  RunTransfer(true);
}

void CUtilityView::OnUpload() {
  if (m_pDoc->IsTransferBusy()) return;
  if (m_pDoc->Store().EntryCount() == 0) {
    ShowTransferMessage(this, kNothingToUpload);
    return;
  }
  if (!Confirm(this, kConfirmUpload)) return;
  RunTransfer(false);
}

void CUtilityView::RunTransfer(bool bDownload) {
  QPointer<CUtilityView> alive(this);
  // The transfer thread may report before the progress dialog is up; those reports wait.
  m_bHoldNotifications = true;
  const int result = m_pDoc->StartSession(bDownload);
  if (!alive) return;
  if (result != SessionOk) {
    m_bHoldNotifications = false;
    m_heldNotifications.clear();
    m_pDoc->EndSession();
    ShowTransferMessage(this, StartFailureMessage(result, bDownload));
    return;
  }
  CProgressDialog& dialog = *m_pProgressDlg;
  dialog.m_strTitle = QString::fromUtf8(bDownload ? "ダウンロード中..." : "アップロード中...");
  dialog.m_pDoc = m_pDoc;
  // Queued behind what the thread posted so far: it runs once the dialog is showing.
  QMetaObject::invokeMethod(this, &CUtilityView::ReleaseHeldNotifications, Qt::QueuedConnection);
  dialog.DoModal();
  // The view goes on in OnCommNotify; if the window was closed meanwhile, nothing is left to do.
}

void CUtilityView::ReleaseHeldNotifications() {
  m_bHoldNotifications = false;
  QPointer<CUtilityView> alive(this);
  std::vector<std::pair<int, long>> held;
  held.swap(m_heldNotifications);
  for (const auto& [kind, value] : held) {
    OnCommNotify(kind, value);
    if (!alive) return;
  }
}

void CUtilityView::OnCommNotify(int kind, long value) {
  CProgressDialog& dialog = *m_pProgressDlg;
  if (kind == NotifyProgress) {
    if (dialog.HasWindow()) dialog.SetProgress(value);
    return;
  }
  if (kind != NotifyDownloadFinished && kind != NotifyUploadFinished) return;
  const bool bDownload = kind == NotifyDownloadFinished;
  const int result = static_cast<int>(value);

  if (dialog.HasWindow()) dialog.EndDialog(0);
  QPointer<CUtilityView> alive(this);
  m_pDoc->EndSession();
  if (!alive) return;
  if (result != SessionOk) {
    ShowTransferMessage(this, TransferResultMessage(result, bDownload));
    return;
  }
  if (bDownload) {
    // The received entries replace the list whole, or (when the store fails) not at all.
    if (LoadPhonebookImage(m_pDoc->Image(), m_pDoc->Store()) != StoreOk) {
      const MessageIds failed = TransferResultMessage(SessionBadReply, true);
      ShowStoreFailure(this, Text(failed.caption), Text(failed.text), m_pDoc->Store(),
                       m_pDoc->Store().LastOsError());
      return;
    }
    OnUpdate();
    ShowTransferMessage(this, TransferResultMessage(result, bDownload));
    m_pDoc->SetModifiedFlag();
  } else {
    // The message tells the user the handset restarts; it restarts once the box is closed.
    ShowTransferMessage(this, TransferResultMessage(result, bDownload));
    if (alive) RestartHandset();
  }
}

void CUtilityView::RestartHandset() {
  const TransferTiming timing = m_pDoc->Timing();
  CUtiCtrl& ctrl = *m_pRestartCtrl;
  // Nothing is reported: the success message has already said that the handset restarts.
  RunPumped([&] { return ::RestartHandset(ctrl, std::string(), timing) ? 1 : 0; });
}
