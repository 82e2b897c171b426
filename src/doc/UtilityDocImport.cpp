// The document's import command: choose a comma-separated file, confirm, add its rows to
// the phonebook, asking the duplicate dialog about rows whose numbers are in use.
#include <QFile>
#include <QFileInfo>

#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "doc/UtilityDoc.h"
#include "files/CsvImport.h"
#include "files/ui/ImportSelectDialog.h"

namespace {


// Asks the user through one duplicate dialog, kept for the whole import.
class CDialogDuplicateResolver : public IDuplicateResolver {
 public:
  DuplicateChoice ResolveDuplicate(int memoryNumber, const std::vector<std::string>& fields,
                                   const PhonebookEntry& stored) override {
    m_dialog.SetDuplicate(memoryNumber, fields, stored);
    m_dialog.OnInitDialog();
    Prompts().RunDialog(m_dialog);
    return {m_dialog.m_nMethod, m_dialog.m_bContinue != 0};
  }

 private:
  CImportSelectDialog m_dialog;  // no owner window
};

}  // namespace

void CUtilityDoc::OnFileImport() {
  FileDialogRequest request;
  request.title = Text(AFX_IDS_OPENFILE);
  request.filters = {QStringLiteral("CSV ファイル (*.csv)")};
  const QStringList chosen = Prompts().AskOpenFiles(request);
  if (chosen.isEmpty()) return;
  const QString path = chosen.first();

  if (!ConfirmOkCancel(nullptr, Text(IDS_CONFIRM_IMPORT_CAPTION),
                       QFileInfo(path).fileName() + Text(IDS_CONFIRM_IMPORT)))
    return;

  CDialogDuplicateResolver resolver;
  const ImportSummary summary =
      ImportCsvFile(m_store, QFile::encodeName(path).toStdString(), resolver);
  const ImportResultMessage message = MessageOfImportResult(summary.result);
  const auto show = [&message, &summary] {
    QString text = Text(message.textId);
    MessageIcon icon = message.icon;
    if (summary.refused > 0) {  // rows left out are told, never passed over in silence
      text += QStringLiteral("\r\n\r\n") + Text(IDS_IMPORT_ROWS_NOT_READ).arg(summary.refused);
      icon = MessageIcon::Warning;
    }
    ShowMessage(nullptr, Text(message.captionId), text, icon);
  };
  if (summary.result == ImportResult::OpenFailed) return show();
  if (summary.result == ImportResult::StoreFailed) {  // the phonebook is as it was
    ShowStoreFailure(nullptr, Text(message.captionId), Text(message.textId), m_store,
                     summary.storeError);
    return;
  }
  if (summary.result == ImportResult::LimitReached) show();
  // Even an import that added nothing marks the phonebook changed.
  UpdateAllViews();
  SetModifiedFlag();
  if (summary.result == ImportResult::Finished) show();
}
