// The document's import command: choose a comma-separated or a vCard file, confirm, add
// its rows or cards to the phonebook, asking the duplicate dialog about each duplicate.
#include <QFile>
#include <QFileInfo>

#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "doc/UtilityDoc.h"
#include "files/CsvImport.h"
#include "files/FailureText.h"
#include "files/VcardFile.h"
#include "files/VcardImport.h"
#include "files/ui/ImportSelectDialog.h"

namespace {

// Asks the user through one duplicate dialog, kept for the whole import.
class CDialogDuplicateResolver : public IDuplicateResolver {
 public:
  explicit CDialogDuplicateResolver(bool vcard) {
    if (vcard) m_dialog.UseVcardTexts();
  }

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

// The cards each count of a vCard import's summary names, shown below the message on
// request, so that a long list does not stretch the message box. Empty when no card is
// named.
QString CardList(const VcardImportSummary& summary) {
  std::string listed = VcardImportMessageText(summary, true);
  if (listed == VcardImportMessageText(summary, false)) return {};
  // The message's own text is already above; the list starts at the counts.
  const std::string_view headline = StringText(MessageOfVcardImport(summary).textId);
  if (listed.starts_with(headline)) listed.erase(0, headline.size());
  while (listed.starts_with("\r\n")) listed.erase(0, 2);
  return QString::fromStdString(listed);
}

}  // namespace

void CUtilityDoc::OnFileImport() {
  FileDialogRequest request;
  request.title = Text(AFX_IDS_OPENFILE);
  // Both kinds are listed at first, so that a phone's vCard file is seen without a search.
  request.filters = {Text(IDS_IMPORT_ANY_FILTER), QStringLiteral("CSV ファイル (*.csv)"),
                     Text(IDS_VCARD_IMPORT_FILTER)};
  const QStringList chosen = Prompts().AskOpenFiles(request);
  if (chosen.isEmpty()) return;
  const QString path = chosen.first();

  if (!ConfirmOkCancel(nullptr, Text(IDS_CONFIRM_IMPORT_CAPTION),
                       QFileInfo(path).fileName() + Text(IDS_CONFIRM_IMPORT)))
    return;

  const std::string localPath = QFile::encodeName(path).toStdString();
  if (IsVcardPath(localPath))
    ImportVcard(localPath);
  else
    ImportCsv(localPath);
}

void CUtilityDoc::ImportCsv(const std::string& path) {
  CDialogDuplicateResolver resolver(false);
  const auto step = BeginStep(IDS_STEP_IMPORT);
  const ImportSummary summary = ImportCsvFile(m_store, path, resolver);
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
  if (summary.result == ImportResult::ReadFailed) {  // nothing of the file is kept
    ShowReadError(QFile::decodeName(QByteArray::fromStdString(path)), summary.readError);
    return;
  }
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
  emit entriesArrived();
}

void CUtilityDoc::ImportVcard(const std::string& path) {
  CDialogDuplicateResolver resolver(true);
  const auto step = BeginStep(IDS_STEP_IMPORT);
  const VcardImportSummary summary = ImportVcardFile(m_store, path, resolver);
  const ImportResultMessage message = MessageOfVcardImport(summary);
  const QString text = QString::fromStdString(VcardImportMessageText(summary, false));
  if (summary.result == VcardImportResult::StoreFailed) {  // the phonebook is as it was
    ShowStoreFailure(nullptr, Text(message.captionId), text, m_store, summary.storeError);
    return;
  }
  // A file that was refused changed nothing; one that was read marks the phonebook
  // changed, as the CSV import does, even when every card was skipped.
  if (summary.result == VcardImportResult::Finished || summary.result == VcardImportResult::LimitReached) {
    UpdateAllViews();
    SetModifiedFlag();
  }
  MessageRequest request;
  request.caption = Text(message.captionId);
  request.text = text;
  if (summary.result == VcardImportResult::OpenFailed)  // not opened, or not read whole
    request.text += QStringLiteral("\r\n\r\n") + QString::fromStdString(ReadFailureCause(summary.osError));
  request.details = CardList(summary);
  request.icon = message.icon;
  Prompts().ShowMessage(request);
  if (summary.result == VcardImportResult::Finished || summary.result == VcardImportResult::LimitReached)
    emit entriesArrived();
}
