// The view's clipboard commands: cut, copy and paste of phonebook rows as text. The
// clipboard holds Unicode text for every program, and beside it the same rows as the code
// page 932 bytes they are inside this one, so that a paste into another phonebook gets an
// entry's bytes back unchanged, also those no Unicode character stands for.
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTableView>

#include <unordered_map>

#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "doc/UtilityDoc.h"
#include "files/ClipboardText.h"
#include "strings/StringIds.h"
#include "view/RowSelection.h"
#include "view/UtilityView.h"

namespace {

// The private clipboard format: the clipboard text as code page 932 bytes.
const QString kRowsMimeType = QStringLiteral("application/x-qvbook-rows-cp932");

}  // namespace

void CUtilityView::OnEditCopy() { CopySelectionToClipboard(); }

void CUtilityView::OnEditCut() {
  const auto step = m_pDoc->BeginStep(IDS_STEP_CUT);
  if (!CopySelectionToClipboard()) return;
  DeleteSelectedRows();
  CurrentList()->selectionModel()->clearSelection();
  CurrentList()->setFocus();
}

void CUtilityView::OnEditPaste() {
  const auto step = m_pDoc->BeginStep(IDS_STEP_PASTE);
  std::vector<std::string> lines;
  if (ReadClipboardLines(lines)) PasteLines(lines);
}

bool CUtilityView::CopySelectionToClipboard() {
  const CPhoneListModel* model = CurrentModel();
  std::vector<std::vector<std::string>> rows;
  // Top to bottom, so the rows keep the list's order.
  for (int row : SelectedRows(CurrentList()->selectionModel()->selection())) {
    std::vector<std::string>& texts = rows.emplace_back();
    for (int column = 0; column < CPhoneListModel::kColumnCount; ++column)
      texts.push_back(model->ItemBytes(row, column));
  }
  const ClipboardHeader header{CurrentRow(), m_displayMode == KanaOrder ? 1 : 0};
  const std::string bytes = BuildClipboardText(header, rows);
  auto* data = new QMimeData;
  data->setText(FromCp932(bytes));
  data->setData(kRowsMimeType, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  QApplication::clipboard()->setMimeData(data);
  return true;
}

bool CUtilityView::ReadClipboardLines(std::vector<std::string>& lines) {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return false;
  if (data->hasFormat(kRowsMimeType)) {
    const QByteArray bytes = data->data(kRowsMimeType);
    lines = SplitClipboardLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return true;
  }
  // Characters without a code page 932 form become '?', which the field rules then
  // filter or keep as any other byte.
  lines = SplitClipboardLines(ToCp932(data->text()));
  return true;
}

void CUtilityView::PasteLines(const std::vector<std::string>& lines) {
  const PasteOutcome outcome = PasteClipboardLines(m_pDoc->Store(), lines);
  if (!outcome.accepted) {
    ShowMessage(this, Text(IDS_PASTE_REFUSED_CAPTION), Text(IDS_PASTE_REFUSED),
                MessageIcon::Error);
    return;
  }
  if (outcome.storeFailed) {  // nothing was pasted
    ShowStoreFailure(this, Text(IDS_PASTE_LIMIT_CAPTION), Text(IDS_PASTE_STORE_FAILED),
                     m_pDoc->Store(), outcome.storeError);
    return;
  }
  ShowPasteReport(outcome);
  if (outcome.pastedNumbers.empty()) return;
  DropFilter();  // the search could hide pasted rows

  // Bring the pasted rows into view: rows copied from the number list go back to it;
  // otherwise the tab strip (also while it is hidden) moves to the kana row of the first
  // pasted row, so that the kana list shows it whatever the header says. The list is
  // refilled in every case, so the new rows are there.
  if (m_displayMode == KanaOrder && outcome.header.displayFlag == 0) {
    OnNumberOrder();
  } else {
    KanaRowOfReading(outcome.firstReading);
    OnUpdate();
  }
  m_pDoc->SetModifiedFlag();
  SelectPastedRows(outcome.pastedNumbers);
}

void CUtilityView::ShowPasteReport(const PasteOutcome& outcome) {
  QString text;
  if (outcome.limitReached) text = Text(IDS_PASTE_LIMIT);
  if (outcome.skippedRows > 0) {
    if (!text.isEmpty()) text += QStringLiteral("\r\n\r\n");
    text += Text(IDS_PASTE_ROWS_SKIPPED).arg(outcome.skippedRows);
  }
  if (text.isEmpty()) return;
  const int caption = outcome.limitReached ? IDS_PASTE_LIMIT_CAPTION : IDS_PASTE_SKIPPED_CAPTION;
  ShowMessage(this, Text(caption), text, MessageIcon::Warning);
}

void CUtilityView::SelectPastedRows(const std::vector<std::string>& pastedNumbers) {
  QTableView* list = CurrentList();
  const CPhoneListModel* model = CurrentModel();
  std::unordered_map<std::string, int> pending;
  for (const std::string& number : pastedNumbers) ++pending[number];

  std::vector<int> rows;
  for (int row = 0; row < model->rowCount(); ++row) {
    auto it = pending.find(model->ItemBytes(row, FieldMemoryNumber));
    if (it == pending.end() || it->second == 0) continue;
    --it->second;
    rows.push_back(row);
  }
  const int lastSelected = rows.empty() ? -1 : rows.back();
  QItemSelectionModel* selectionModel = list->selectionModel();
  // One range per run of rows: a thousand one-row ranges make every later question to
  // the selection slow.
  selectionModel->select(WholeRows(*model, std::move(rows)), QItemSelectionModel::ClearAndSelect);
  if (model->rowCount() > 0) {
    const QModelIndex focus = model->index(lastSelected < 0 ? 0 : lastSelected, 0);
    selectionModel->setCurrentIndex(focus,
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->scrollTo(focus);
  }
  list->setFocus();
  emit commandStateChanged();
}
