// The view's undo and redo: the menu words with the step's name, the replay, the entries
// it brought back shown and selected, and a replay that failed reported.
#include <QTabBar>

#include <algorithm>

#include "doc/UtilityDoc.h"
#include "phonebook/ReadingOrder.h"
#include "strings/StringIds.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "view/UtilityView.h"

void CUtilityView::OnEditUndo() { ReplayHistory(true); }
void CUtilityView::OnEditRedo() { ReplayHistory(false); }

bool CUtilityView::HistoryCommandState(int id, CommandState& state) const {
  if (id != ID_EDIT_UNDO && id != ID_EDIT_REDO) return false;
  const CPhonebookHistory& history = m_pDoc->History();
  const bool undo = id == ID_EDIT_UNDO;
  state.enabled = undo ? history.CanUndo() : history.CanRedo();
  const QString name = undo ? history.UndoName() : history.RedoName();
  state.label = state.enabled ? Text(undo ? IDS_UNDO_STEP : IDS_REDO_STEP).arg(name)
                              : Text(undo ? IDS_UNDO : IDS_REDO);
  return true;
}

void CUtilityView::ReplayHistory(bool backwards) {
  CPhonebookHistory& history = m_pDoc->History();
  const CPhonebookHistory::Replay replay = backwards ? history.Undo() : history.Redo();
  if (replay.result != ReplayResult::Replayed) {
    // Nothing changed; the list is refilled in case it showed more than the store holds.
    OnUpdate();
    const QString caption = Text(backwards ? IDS_UNDO : IDS_REDO);
    const QString text = Text(backwards ? IDS_UNDO_FAILED : IDS_REDO_FAILED);
    CDbPhoneCtrl& store = m_pDoc->Store();
    if (replay.result == ReplayResult::StoreFailed)
      ShowStoreFailure(this, caption, text, store, store.LastOsError());
    else
      ShowMessage(this, caption, text + QStringLiteral("\r\n\r\n") + Text(IDS_HISTORY_OUT_OF_STEP),
                  MessageIcon::Error);
    return;
  }
  // The entries that came back are shown: the search ends if it would hide one, and in
  // kana order the list moves to the first one's tab unless its own tab holds one.
  const std::vector<PhonebookEntry>& entries = replay.broughtIn;
  RevealEntries(entries);
  if (m_displayMode == KanaOrder && !entries.empty()) {
    const int tab = m_pTabBar->currentIndex();
    const bool shownHere = std::any_of(entries.begin(), entries.end(), [tab](const auto& entry) {
      return KanaRowOfFirstByte(entry.reading) == tab;
    });
    if (!shownHere) KanaRowOfReading(entries.front().reading);
  }
  m_pDoc->UpdateAllViews();
  std::vector<std::string> numbers;
  for (const PhonebookEntry& entry : entries)
    numbers.push_back(EntryToTexts(entry)[FieldMemoryNumber]);
  SelectPastedRows(numbers);  // selected as pasted rows are
}
