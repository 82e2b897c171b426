// The fill-readings command of a phonebook's view.
#include "view/ReadingCommands.h"

#include <QApplication>
#include <QStatusTipEvent>
#include <QWidget>

#include <algorithm>

#include "doc/DocumentMessages.h"
#include "doc/UtilityDoc.h"
#include "phonebook/EntryRules.h"
#include "readings/ReadingFill.h"
#include "readings/ReadingSuggester.h"
#include "strings/StringIds.h"
#include "ui/CommandHandlers.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "view/PhoneList.h"
#include "view/PhonebookLists.h"
#include "view/ReadingFillDialog.h"

namespace {

// An entry the command would fill unasked: a name, and no reading.
bool LacksReading(const PhonebookEntry& entry) { return !entry.name.empty() && entry.reading.empty(); }

}  // namespace

CReadingCommands::CReadingCommands(CUtilityDoc* document, CPhonebookLists& lists, QWidget* view)
    : QObject(view), m_pDoc(document), m_lists(lists), m_pView(view), m_suggester(SharedReadingSuggester()) {}

bool CReadingCommands::EntriesToFill(std::vector<PhonebookEntry>& entries, bool& selectedOnly) {
  CDbPhoneCtrl& store = m_pDoc->Store();
  const CPhoneList* list = m_lists.CurrentList();
  const QModelIndexList rows = list->selectionModel()->selectedRows();
  selectedOnly = rows.size() >= 2;
  StoreResult result = StoreResult::Ok;
  if (!selectedOnly) {
    result = store.ListEntries(KanaRowAll, SortByNumber, true, entries);
  } else {
    for (const QModelIndex& row : rows) {
      PhonebookEntry entry;
      result = store.FindEntry(DecimalValue(list->Model()->ItemBytes(row.row(), FieldMemoryNumber)), entry);
      if (result != StoreResult::Ok) break;
      if (entry.memoryNumber != 0) entries.push_back(entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const PhonebookEntry& a, const PhonebookEntry& b) { return a.memoryNumber < b.memoryNumber; });
  }
  if (result == StoreResult::Ok) return true;
  ShowStoreFailure(m_pView, Text(IDS_READING_FILL_CAPTION), Text(IDS_LIST_READ_FAILED), store, store.LastOsError());
  return false;
}

void CReadingCommands::OnFillReadings() {
  std::vector<PhonebookEntry> entries;
  bool selectedOnly = false;
  if (!EntriesToFill(entries, selectedOnly)) return;
  std::vector<ReadingProposal> proposals;
  {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    proposals = ProposeReadings(entries, m_suggester, selectedOnly, CReadingSuggester::kMaxReadings);
    QApplication::restoreOverrideCursor();
  }
  if (m_suggester.GetState() == CReadingSuggester::State::Missing) {
    ShowMessage(m_pView, Text(IDS_READING_FILL_CAPTION), Text(IDS_READING_NO_DICTIONARY), MessageIcon::Warning);
    return;
  }
  if (proposals.empty()) {
    ShowMessage(m_pView, Text(IDS_READING_FILL_CAPTION), Text(IDS_READING_NOTHING_TO_FILL), MessageIcon::Information);
    return;
  }
  CReadingFillDialog dialog(proposals, m_pView);
  if (Prompts().RunDialog(dialog) != QDialog::Accepted) return;
  const std::vector<ChosenReading> chosen = dialog.ChosenReadings();
  if (chosen.empty()) return;
  {
    const auto step = m_pDoc->BeginStep(IDS_STEP_FILL_READINGS);
    if (const StoreResult result = ApplyReadings(m_pDoc->Store(), chosen); result != StoreResult::Ok) {
      m_lists.Refresh();
      ShowStoreFailure(m_pView, Text(IDS_WRITE_CAPTION), Text(IDS_WRITE_FAILED), m_pDoc->Store(),
                       m_pDoc->Store().LastOsError());
      return;
    }
  }
  m_lists.Refresh();
  m_pDoc->SetModifiedFlag();
  emit commandStateChanged();
}

void CReadingCommands::TellOfEntriesWithoutReading() {
  std::vector<PhonebookEntry> entries;
  if (m_pDoc->Store().ListEntries(KanaRowAll, SortByNumber, true, entries) != StoreResult::Ok) return;
  const auto count = std::count_if(entries.begin(), entries.end(), LacksReading);
  if (count == 0) return;
  // The tip travels up to the main window, which shows it in its status bar.
  QStatusTipEvent tip(Text(IDS_READING_UNREAD_HINT).arg(count));
  QCoreApplication::sendEvent(m_pView, &tip);
}

void CReadingCommands::BindCommands(CCommandHandlers& commands) {
  CPhonebookLists& lists = m_lists;
  commands.BindWhen(ID_FILL_READINGS, [&lists] { return lists.HasRows(); }, [this] { OnFillReadings(); });
}
