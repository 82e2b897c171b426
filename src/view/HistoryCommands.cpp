// Undo and redo from a phonebook's view.
#include "view/HistoryCommands.h"

#include <QTabBar>
#include <QWidget>

#include <algorithm>
#include <string>
#include <vector>

#include "doc/DocumentMessages.h"
#include "doc/UtilityDoc.h"
#include "phonebook/ReadingOrder.h"
#include "strings/StringIds.h"
#include "ui/CommandHandlers.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "view/ListFind.h"
#include "view/PhoneList.h"
#include "view/PhonebookLists.h"

CHistoryCommands::CHistoryCommands(CUtilityDoc* document, CPhonebookLists& lists, CListFind& find,
                                   QWidget* view)
    : QObject(view), m_pDoc(document), m_lists(lists), m_find(find), m_pView(view) {}

void CHistoryCommands::OnEditUndo() { ReplayHistory(true); }
void CHistoryCommands::OnEditRedo() { ReplayHistory(false); }

void CHistoryCommands::ReplayHistory(bool backwards) {
  CPhonebookHistory& history = m_pDoc->History();
  const CPhonebookHistory::Replay replay = backwards ? history.Undo() : history.Redo();
  if (replay.result != ReplayResult::Replayed) {
    // Nothing changed; the list is refilled in case it showed more than the store holds.
    m_lists.Refresh();
    const QString caption = Text(backwards ? IDS_UNDO : IDS_REDO);
    const QString text = Text(backwards ? IDS_UNDO_FAILED : IDS_REDO_FAILED);
    CDbPhoneCtrl& store = m_pDoc->Store();
    if (replay.result == ReplayResult::StoreFailed)
      ShowStoreFailure(m_pView, caption, text, store, store.LastOsError());
    else
      ShowMessage(m_pView, caption, text + QStringLiteral("\r\n\r\n") + Text(IDS_HISTORY_OUT_OF_STEP),
                  MessageIcon::Error);
    return;
  }
  // The entries that came back are shown: the search ends if it would hide one, and in
  // kana order the list moves to the first one's tab unless its own tab holds one.
  const std::vector<PhonebookEntry>& entries = replay.broughtIn;
  m_find.RevealEntries(entries);
  if (m_lists.Mode() == KanaOrder && !entries.empty()) {
    const int tab = m_lists.TabStrip()->currentIndex();
    const bool shownHere = std::any_of(entries.begin(), entries.end(), [tab](const auto& entry) {
      return KanaRowOfFirstByte(entry.reading) == tab;
    });
    if (!shownHere) m_lists.SelectTabOfReading(entries.front().reading);
  }
  m_pDoc->UpdateAllViews();
  std::vector<std::string> numbers;
  for (const PhonebookEntry& entry : entries)
    numbers.push_back(EntryToTexts(entry)[FieldMemoryNumber]);
  m_lists.CurrentList()->SelectNumbers(numbers);  // selected as pasted rows are
  emit commandStateChanged();
}

void CHistoryCommands::BindCommands(CCommandHandlers& commands) {
  // The items name the step they take back or make again ("元に戻す - 削除").
  const auto stepState = [this](bool undo) {
    return [this, undo](CommandState& state) {
      const CPhonebookHistory& history = m_pDoc->History();
      state.enabled = undo ? history.CanUndo() : history.CanRedo();
      const QString name = undo ? history.UndoName() : history.RedoName();
      state.label = state.enabled ? Text(undo ? IDS_UNDO_STEP : IDS_REDO_STEP).arg(name)
                                  : Text(undo ? IDS_UNDO : IDS_REDO);
    };
  };
  commands.BindState(ID_EDIT_UNDO, stepState(true), [this] { OnEditUndo(); });
  commands.BindState(ID_EDIT_REDO, stepState(false), [this] { OnEditRedo(); });
}
