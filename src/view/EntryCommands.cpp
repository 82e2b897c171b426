// Adding, editing and deleting entries from a phonebook's view.
#include "view/EntryCommands.h"

#include <QTabBar>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "doc/DocumentMessages.h"
#include "doc/UtilityDoc.h"
#include "phonebook/EntryRules.h"
#include "strings/StringIds.h"
#include "ui/CommandHandlers.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UiTexts.h"
#include "ui/UserPrompts.h"
#include "view/InputDataDialog.h"
#include "view/ListFind.h"
#include "view/PhoneList.h"
#include "view/PhonebookLists.h"

namespace {

std::string NumberText(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", number);
  return text;
}

bool AskOkCancel(QWidget* owner, const char* caption, const char* text) {
  return ConfirmOkCancel(owner, QString::fromUtf8(caption), QString::fromUtf8(text));
}

PhonebookEntry EntryFromTexts(const std::array<std::string, FieldCount>& texts) {
  PhonebookEntry entry;
  entry.memoryNumber = DecimalValue(texts[FieldMemoryNumber]);
  entry.name = texts[FieldName];
  entry.reading = texts[FieldReading];
  entry.phone1 = UpperAscii(texts[FieldPhone1]);
  entry.phone2 = UpperAscii(texts[FieldPhone2]);
  entry.phone3 = UpperAscii(texts[FieldPhone3]);
  entry.group = DecimalValue(texts[FieldGroup]);
  return entry;
}

}  // namespace

CEntryCommands::CEntryCommands(CUtilityDoc* document, CPhonebookLists& lists, CListFind& find,
                               QWidget* view)
    : QObject(view), m_pDoc(document), m_lists(lists), m_find(find), m_pView(view) {}

void CEntryCommands::ShowStoredEntry(const PhonebookEntry& entry) {
  m_find.RevealEntries({entry});
  const int previousTab = m_lists.TabStrip()->currentIndex();
  const int entryTab = m_lists.SelectTabOfReading(entry.reading);
  const bool kanaOrder = m_lists.Mode() == KanaOrder;
  if (kanaOrder && entryTab != previousTab) {
    m_lists.Refresh();
  } else {
    m_lists.Refill(kanaOrder ? previousTab : CPhonebookLists::kAllRows);
  }
  CPhoneList* list = m_lists.CurrentList();
  list->SelectRow(list->Model()->FindNumber(NumberText(entry.memoryNumber)));
  m_pDoc->SetModifiedFlag();
  emit commandStateChanged();
}

void CEntryCommands::OnAddEntry() {
  CInputDataDialog dialog(m_pView);
  dialog.m_strCaption = QString::fromUtf8(UiText::kAddDialogTitle);
  CDbPhoneCtrl& store = m_pDoc->Store();
  for (;;) {
    const int number = store.GetFreeMemoryNumber();
    if (number == 0) {
      ShowMessage(m_pView, Text(IDS_MEMORY_FULL_CAPTION), Text(IDS_MEMORY_FULL), MessageIcon::Warning);
      return;
    }
    dialog.m_strFields = {NumberText(number), "", "", "", "", "", "1"};
    dialog.m_pDoc = m_pDoc;
    if (dialog.DoModal() != QDialog::Accepted) return;
    const PhonebookEntry entry = EntryFromTexts(dialog.m_strFields);
    const auto step = m_pDoc->BeginStep(IDS_STEP_ADD);
    if (!StoreWritten(store.AddEntry(entry))) return;
    ShowStoredEntry(entry);
    if (!dialog.m_bAddNext) return;
  }
}

void CEntryCommands::OnEditEntry() {
  CPhoneList* list = m_lists.CurrentList();
  CPhoneListModel* model = list->Model();
  const int row = m_lists.CurrentRow();
  const QModelIndexList selected = list->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  int index = selected.first().row();
  for (const QModelIndex& each : selected) index = std::min(index, each.row());

  CInputDataDialog dialog(m_pView);
  dialog.m_strCaption = QString::fromUtf8(UiText::kEditDialogTitle);
  for (int column = 0; column < FieldCount; ++column)
    dialog.m_strFields[column] = model->ItemBytes(index, column);
  const std::string previousNumber = dialog.m_strFields[FieldMemoryNumber];
  dialog.m_pDoc = m_pDoc;
  dialog.m_nEditNumber = DecimalValue(previousNumber);
  if (dialog.DoModal() != QDialog::Accepted) return;

  model->DeleteItem(model->FindNumber(previousNumber));
  std::vector<std::string> numbers{previousNumber};
  const PhonebookEntry entry = EntryFromTexts(dialog.m_strFields);
  // The old entry goes and the new one comes in one step, or neither does.
  CDbPhoneCtrl& store = m_pDoc->Store();
  const auto step = m_pDoc->BeginStep(IDS_STEP_EDIT);
  CDbPhoneCtrl::Batch batch(store);
  StoreResult result = store.DeleteEntries(row, numbers);
  if (result == StoreResult::Ok) result = store.AddEntry(entry);
  if (result == StoreResult::Ok) result = batch.Commit();
  if (!StoreWritten(result)) return;
  ShowStoredEntry(entry);
}

bool CEntryCommands::StoreWritten(StoreResult result) {
  if (result == StoreResult::Ok) return true;
  CDbPhoneCtrl& store = m_pDoc->Store();
  m_lists.Refresh();
  ShowStoreFailure(m_pView, Text(IDS_WRITE_CAPTION), Text(IDS_WRITE_FAILED), store,
                   store.LastOsError());
  return false;
}

void CEntryCommands::OnDeleteEntry() {
  if (!AskOkCancel(m_pView, UiText::kDeleteCaption, UiText::kDeleteText)) return;
  const auto step = m_pDoc->BeginStep(IDS_STEP_DELETE);
  DeleteSelectedRows();
}

void CEntryCommands::DeleteSelectedRows() {
  CPhoneList* list = m_lists.CurrentList();
  CPhoneListModel* model = list->Model();
  std::set<int> selected;
  for (const QModelIndex& index : list->selectionModel()->selectedRows())
    selected.insert(index.row());
  if (selected.empty()) return;

  std::vector<std::string> numbers;
  for (int row : selected) numbers.push_back(model->ItemBytes(row, FieldMemoryNumber));
  // The row after the deleted ones moves up to where the last of them stood.
  const int lastDeleted = *selected.rbegin() - static_cast<int>(selected.size()) + 1;
  model->DeleteRows(std::vector<int>(selected.begin(), selected.end()));
  if (!StoreWritten(m_pDoc->Store().DeleteEntries(m_lists.CurrentRow(), numbers))) return;
  list->SelectRow(lastDeleted);
  m_find.CountMatches();
  m_pDoc->SetModifiedFlag();
  emit commandStateChanged();
}

void CEntryCommands::OnDeleteAll() {
  if (!AskOkCancel(m_pView, UiText::kDeleteAllCaption, UiText::kDeleteAllText)) return;
  const auto step = m_pDoc->BeginStep(IDS_STEP_DELETE_ALL);
  if (!StoreWritten(DeleteRowsOfDeleteAll())) return;
  m_lists.Refresh();
  m_pDoc->SetModifiedFlag();
}

StoreResult CEntryCommands::DeleteRowsOfDeleteAll() {
  if (!m_find.IsFinding()) return m_pDoc->Store().DeleteAll();
  // While searching, the list's own rows: the entries the search shows.
  const CPhoneListModel& model = *m_lists.CurrentList()->Model();
  std::vector<std::string> numbers;
  for (int row = 0; row < model.rowCount(); ++row)
    numbers.push_back(model.ItemBytes(row, FieldMemoryNumber));
  return m_pDoc->Store().DeleteEntries(m_lists.CurrentRow(), numbers);
}

void CEntryCommands::BindCommands(CCommandHandlers& commands) {
  CPhonebookLists& lists = m_lists;
  const auto selected = [&lists] { return lists.CurrentList()->SelectedCount(); };
  commands.Bind(ID_ADD_ENTRY, [this] { OnAddEntry(); });
  commands.BindWhen(ID_EDIT_ENTRY, [selected] { return selected() == 1; }, [this] { OnEditEntry(); });
  commands.BindWhen(ID_DELETE_ENTRY, [selected] { return selected() >= 1; },
                    [this] { OnDeleteEntry(); });
  commands.BindWhen(ID_DELETE_ALL, [&lists] { return lists.HasRows(); }, [this] { OnDeleteAll(); });
}
