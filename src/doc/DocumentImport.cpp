// The document's import command: choose a comma-separated or a vCard file, confirm, add
// its rows or cards to the phonebook, asking the view's duplicate question about each
// duplicate.
#include <QFile>
#include <QFileInfo>

#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "doc/DocumentExchange.h"
#include "doc/DocumentMessages.h"
#include "doc/DuplicateQuestion.h"
#include "doc/UtilityDoc.h"
#include "files/ImportFile.h"
#include "files/VcardFile.h"

void CDocumentExchange::OnFileImport() {
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
  // Without a view to ask, a duplicate is left out: nothing stored is lost.
  CFixedDuplicateResolver skip(DuplicateMethod::Skip);
  const std::unique_ptr<IDuplicateResolver> asked =
      m_pDuplicateQuestion ? m_pDuplicateQuestion->ResolverForImport(IsVcardPath(localPath)) : nullptr;
  IDuplicateResolver& resolver = asked ? *asked : skip;
  const auto step = m_doc.BeginStep(IDS_STEP_IMPORT);
  const ImportSummary summary = ImportFile(m_doc.Store(), localPath, resolver);
  // Even an import that added nothing marks the phonebook changed.
  if (ImportKeptRows(summary)) {
    m_doc.UpdateAllViews();
    m_doc.SetModifiedFlag();
  }
  ShowImportResult(nullptr, summary, path, m_doc.Store());
  if (ImportKeptRows(summary)) emit m_doc.entriesArrived();
}
