// The editing commands of a phonebook's view: add and edit an entry through the entry
// dialog, delete the selected entries or all of them, each one undoable step; a write the
// store refused leaves the list refilled from what it kept and shows the failure.
#pragma once

#include <QObject>

#include "phonebook/StoreResult.h"

class CCommandHandlers;
class CListFind;
class CPhonebookLists;
class CUtilityDoc;
class QWidget;
struct PhonebookEntry;

class CEntryCommands : public QObject {
  Q_OBJECT

 public:
  // `view` owns the commands and the messages they show.
  CEntryCommands(CUtilityDoc* document, CPhonebookLists& lists, CListFind& find, QWidget* view);

  void OnAddEntry();
  void OnEditEntry();
  void OnDeleteEntry();
  void OnDeleteAll();
  // Deletes the selected rows of the current list from the list and the store.
  void DeleteSelectedRows();
  void BindCommands(CCommandHandlers& commands);

 signals:
  void commandStateChanged();

 private:
  // Add and Edit: show the stored entry in its tab and select its row.
  void ShowStoredEntry(const PhonebookEntry& entry);
  // True for a store result of 0. Otherwise the store kept what it had: the list is
  // refilled from it and the write failure is shown.
  bool StoreWritten(StoreResult result);
  // Delete all: every entry, or during a search the entries the search shows.
  StoreResult DeleteRowsOfDeleteAll();

  CUtilityDoc* m_pDoc;
  CPhonebookLists& m_lists;
  CListFind& m_find;
  QWidget* m_pView;
};
