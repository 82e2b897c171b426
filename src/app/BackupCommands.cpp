// 端末のバックアップから復元... and アップロード前にバックアップと確認.
#include "app/BackupCommands.h"

#include <QFile>

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/UtilityApp.h"
#include "backup/ui/BackupListDialog.h"
#include "backup/ui/BackupSettings.h"
#include "strings/StringIds.h"
#include "ui/CommandHandlers.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "view/TransferRunner.h"
#include "view/UtilityView.h"

namespace {

// A backup opens as any document does; an upload then runs from its window, with the
// backup of the handset's phonebook and the preview of any upload.
void RestoreFromBackup(CUtilityApp& app) {
  const std::string folder = EditorBackupFolder();
  CBackupListDialog list(ListBackups(folder), QFile::decodeName(QByteArray::fromStdString(folder)), app.MainFrame());
  if (Prompts().RunDialog(list) != QDialog::Accepted) return;
  CUtilityDoc* document = app.OpenDocumentFile(QFile::decodeName(QByteArray::fromStdString(list.ChosenPath())));
  if (!document || list.Chosen() != CBackupListDialog::Choice::Upload) return;
  CChildFrame* child = app.MainFrame()->ActiveChild();
  if (child && child->GetDocument() == document && child->GetView()) child->GetView()->Transfers().OnUpload();
}

void ToggleBackupBeforeUpload(CUtilityApp& app) {
  if (!SetBackupBeforeUpload(!BackupBeforeUpload()))
    ShowMessage(app.MainFrame(), Text(IDS_APP_TITLE), Text(IDS_SETTING_NOT_SAVED), MessageIcon::Warning);
}

}  // namespace

void BindBackupCommands(CCommandHandlers& commands, CUtilityApp& app) {
  commands.Bind(ID_RESTORE_BACKUP, [&app] { RestoreFromBackup(app); });
  commands.BindState(
      ID_BACKUP_BEFORE_UPLOAD,
      [](CommandState& state) {
        state.enabled = true;
        state.checked = BackupBeforeUpload();
      },
      [&app] { ToggleBackupBeforeUpload(app); });
}
