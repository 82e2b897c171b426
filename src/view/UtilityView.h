// The view of one phonebook: it puts together the lists (number order, or one kana row at
// a time), the search, the editing, clipboard and history commands and the transfer
// runner; binds their commands; and turns the keys, double-clicks and context menu of the
// lists into those commands.
#pragma once

#include <QWidget>

#include <memory>

#include "ui/CommandHandlers.h"

class CClipboardCommands;
class CEntryCommands;
class CHistoryCommands;
class CListFind;
class CPhonebookLists;
class CReadingCommands;
class CTransferRunner;
class CUtilityDoc;
class QMenu;
class QTableView;

class CUtilityView : public QWidget, public ICommandTarget {
  Q_OBJECT

 public:
  explicit CUtilityView(CUtilityDoc* document, QWidget* parent = nullptr);
  ~CUtilityView() override;

  CUtilityDoc* GetDocument() const { return m_pDoc; }
  CPhonebookLists& Lists() const { return *m_pLists; }
  CListFind& Find() const { return *m_pFind; }
  CEntryCommands& Entries() const { return *m_pEntries; }
  CClipboardCommands& Clipboard() const { return *m_pClipboard; }
  CReadingCommands& Readings() const { return *m_pReadings; }
  CHistoryCommands& History() const { return *m_pHistory; }
  CTransferRunner& Transfers() const { return *m_pTransfers; }

  // Refresh: refill the current list from the store under its row's sort state.
  void OnUpdate();

  // The context menu with the states of this moment.
  std::unique_ptr<QMenu> CreateContextMenu();

  bool OnUpdateCommand(int id, CommandState& state) override;
  bool OnCommand(int id) override;

 signals:
  // Something that decides the commands' states changed (selection, rows, mode).
  void commandStateChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  // Enter, Delete, Esc and double-clicks on `list` reach the view's commands.
  void WatchList(QTableView* list);
  void BindCommands();

  CUtilityDoc* m_pDoc;
  CPhonebookLists* m_pLists;       // children of the view, as are the other parts
  CListFind* m_pFind;
  CEntryCommands* m_pEntries;
  CClipboardCommands* m_pClipboard;
  CReadingCommands* m_pReadings;
  CHistoryCommands* m_pHistory;
  std::unique_ptr<CTransferRunner> m_pTransfers;     // download and upload
  CCommandHandlers m_commands;     // the commands of the view's parts
};
