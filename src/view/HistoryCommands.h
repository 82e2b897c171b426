// Undo and redo in a phonebook's view: the menu words with the step's name, the replay of
// the document's history, the entries it brought back shown and selected, and a replay
// that failed reported.
#pragma once

#include <QObject>

class CCommandHandlers;
class CListFind;
class CPhonebookLists;
class CUtilityDoc;
class QWidget;

class CHistoryCommands : public QObject {
  Q_OBJECT

 public:
  // `view` owns the commands and the messages they show.
  CHistoryCommands(CUtilityDoc* document, CPhonebookLists& lists, CListFind& find, QWidget* view);

  void OnEditUndo();
  void OnEditRedo();
  void BindCommands(CCommandHandlers& commands);

 signals:
  void commandStateChanged();

 private:
  // Undo or redo, with the entries it brought back shown and selected.
  void ReplayHistory(bool backwards);

  CUtilityDoc* m_pDoc;
  CPhonebookLists& m_lists;
  CListFind& m_find;
  QWidget* m_pView;
};
