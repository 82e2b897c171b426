// The view's clipboard commands: cut, copy and paste of phonebook rows as text. The
// clipboard holds Unicode text; the rows travel as code page 932 inside the program.
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableView>

#include <unordered_map>

#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "doc/UtilityDoc.h"
#include "files/ClipboardText.h"
#include "platform/CodePage.h"
#include "strings/StringIds.h"
#include "view/UtilityView.h"

namespace {


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
  const QItemSelectionModel* selection = CurrentList()->selectionModel();
  std::vector<std::vector<std::string>> rows;
  // Top to bottom, so the rows keep the list's order.
  for (int row = 0; row < model->rowCount(); ++row) {
    if (!selection->isRowSelected(row, QModelIndex())) continue;
    std::vector<std::string>& texts = rows.emplace_back();
    for (int column = 0; column < CPhoneListModel::kColumnCount; ++column)
      texts.push_back(model->ItemBytes(row, column));
  }
  const ClipboardHeader header{CurrentRow(), m_displayMode == KanaOrder ? 1 : 0};
  QApplication::clipboard()->setText(
      QString::fromUtf8(Cp932ToUtf8(BuildClipboardText(header, rows))));
  return true;
}

bool CUtilityView::ReadClipboardLines(std::vector<std::string>& lines) {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return false;
  // Characters without a code page 932 form become '?', which the field rules then
  // filter or keep as any other byte.
  lines = SplitClipboardLines(Utf8ToCp932(data->text().toStdString()));
  return true;
}

void CUtilityView::PasteLines(const std::vector<std::string>& lines) {
  const int viewRow = CurrentRow();
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
  if (outcome.limitReached)
    ShowMessage(this, Text(IDS_PASTE_LIMIT_CAPTION), Text(IDS_PASTE_LIMIT), MessageIcon::Warning);
  if (outcome.pastedNumbers.empty()) return;
  DropFilter();  // the search could hide pasted rows

  // Bring the pasted rows into view: rows copied from the number list go back to it;
  // otherwise the list shows the tab they were copied from (chosen even while the tab
  // strip is hidden). The list is refilled in every case, so the new rows are there.
  if (m_displayMode == KanaOrder && outcome.header.displayFlag == 0) {
    OnNumberOrder();
  } else {
    if (viewRow != outcome.header.kanaRow && outcome.header.kanaRow < kKanaRowCount) {
      const QSignalBlocker quiet(m_pTabBar);
      m_pTabBar->setCurrentIndex(outcome.header.kanaRow);
    }
    OnUpdate();
  }
  m_pDoc->SetModifiedFlag();
  SelectPastedRows(outcome.pastedNumbers);
}

void CUtilityView::SelectPastedRows(const std::vector<std::string>& pastedNumbers) {
  QTableView* list = CurrentList();
  const CPhoneListModel* model = CurrentModel();
  std::unordered_map<std::string, int> pending;
  for (const std::string& number : pastedNumbers) ++pending[number];

  QItemSelection selection;
  int lastSelected = -1;
  for (int row = 0; row < model->rowCount(); ++row) {
    auto it = pending.find(model->ItemBytes(row, FieldMemoryNumber));
    if (it == pending.end() || it->second == 0) continue;
    --it->second;
    selection.select(model->index(row, 0), model->index(row, CPhoneListModel::kColumnCount - 1));
    lastSelected = row;
  }
  QItemSelectionModel* selectionModel = list->selectionModel();
  selectionModel->select(selection, QItemSelectionModel::ClearAndSelect);
  if (model->rowCount() > 0) {
    const QModelIndex focus = model->index(lastSelected < 0 ? 0 : lastSelected, 0);
    selectionModel->setCurrentIndex(focus,
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->scrollTo(focus);
  }
  list->setFocus();
  emit commandStateChanged();
}
