// The document's export command: the whole phonebook, or the entries selected in its
// view, written as a vCard file: 3.0 in UTF-8 or 2.1 in Shift-JIS, as the file type
// chosen in the save dialog says.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "doc/DocumentExchange.h"
#include "doc/DocumentMessages.h"
#include "doc/UtilityDoc.h"
#include "files/FailureText.h"
#include "files/VcardFile.h"
#include "strings/StringIds.h"

namespace {

QString CountText(int id, int count) { return Text(id).arg(count); }

}  // namespace

void CDocumentExchange::OnFileExport(const std::vector<int>& selected) {
  CDbPhoneCtrl& store = m_doc.Store();
  const QString& pathName = m_doc.GetPathName();
  const bool all = selected.empty();
  const int count = all ? store.EntryCount() : static_cast<int>(selected.size());
  if (count == 0) {  // an empty file would not read back as vCard
    ShowMessage(nullptr, Text(IDS_NO_ENTRIES_CAPTION), Text(IDS_NO_ENTRIES), MessageIcon::Warning);
    return;
  }

  // The title says what is about to be written: every entry or the selected ones.
  FileDialogRequest request;
  request.title = CountText(all ? IDS_EXPORT_ALL_TITLE : IDS_EXPORT_SELECTED_TITLE, count);
  request.filters = {Text(IDS_VCARD_30_FILTER), Text(IDS_VCARD_21_FILTER)};
  request.defaultSuffix = QStringLiteral("vcf");
  const QString name = (pathName.isEmpty() ? m_doc.GetTitle() : QFileInfo(pathName).completeBaseName()) +
                       QStringLiteral(".vcf");
  request.suggestedPath = pathName.isEmpty() ? name : QFileInfo(pathName).dir().filePath(name);
  int filter = 0;
  const QString path = Prompts().AskSaveFile(request, &filter);
  if (path.isEmpty()) return;
  const VcardVersion version = filter == 1 ? VcardVersion::V21 : VcardVersion::V30;  // the filters' order

  const VcardExportResult result =
      ExportVcardFile(store, QFile::encodeName(path).toStdString(), version, selected);
  switch (result.status) {
    case VcardExportResult::Ok:
      ShowMessage(nullptr, Text(IDS_EXPORT_DONE_CAPTION),
                  Text(IDS_EXPORT_DONE) + QStringLiteral("\r\n\r\n") +
                      CountText(all ? IDS_EXPORT_ALL_DONE : IDS_EXPORT_SELECTED_DONE, count),
                  MessageIcon::None);
      return;
    case VcardExportResult::StoreFailed:  // nothing was written
      ShowStoreFailure(nullptr, Text(IDS_WRITE_CAPTION), Text(IDS_WRITE_FAILED), store, store.LastOsError());
      return;
    case VcardExportResult::WriteFailed:  // a previous file is as it was
      ShowWriteFailure(path, result.osError);
      return;
  }
}
