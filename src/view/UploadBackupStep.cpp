// The backup and the preview of an upload from a phonebook's view.
#include "view/UploadBackupStep.h"

#include <QFile>

#include <memory>

#include "backup/HandsetBackups.h"
#include "backup/PhonebookChanges.h"
#include "backup/ui/BackupSettings.h"
#include "backup/ui/UploadPreviewDialog.h"
#include "doc/DocumentMessages.h"
#include "doc/UtilityDoc.h"
#include "doc/DocumentTransfer.h"
#include "strings/StringIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"

bool BackUpAndPreview(CUtilityDoc& document, QWidget* owner, std::string& backupName) {
  const auto handset = std::make_unique<PhonebookImage>(document.Transfer().Image());
  const BackupWriteResult written = WriteBackup(EditorBackupFolder(), *handset, document.Transfer().SessionPortName(), LocalTimeNow());
  if (written.status != BackupWriteResult::Ok) {
    const QString detail = QFile::decodeName(QByteArray::fromStdString(BackupFailureDetail(written)));
    ShowMessage(owner, Text(IDS_BACKUP_CAPTION), Text(IDS_BACKUP_WRITE_FAILED) + QStringLiteral("\r\n\r\n") + detail,
                MessageIcon::Error);
    return false;
  }
  // What the handset holds after the upload: the phonebook's image, as the session sends it.
  CDbPhoneCtrl& store = document.Store();
  const auto upload = std::make_unique<PhonebookImage>();
  upload->fill(0);
  if (store.BuildImage(*upload) != StoreResult::Ok) {
    ShowStoreFailure(owner, Text(IDS_UPLOAD_FAILED_CAPTION), Text(IDS_UPLOAD_FAILED), store, store.LastOsError());
    return false;
  }
  CUploadPreviewDialog preview(ComparePhonebooks(ImageEntries(*handset), ImageEntries(*upload)),
                               QString::fromStdString(written.name), owner);
  if (Prompts().RunDialog(preview) != QDialog::Accepted) return false;
  backupName = written.name;
  return true;
}
