// The clipboard commands of a phonebook's view: cut, copy and paste of phonebook rows as
// text. The clipboard holds Unicode text for every program, and beside it the same rows as
// the code page 932 bytes they are inside this one, so that a paste into another phonebook
// gets an entry's bytes back unchanged, also those no Unicode character stands for.
#pragma once

#include <QObject>

#include <string>
#include <vector>

class CCommandHandlers;
class CEntryCommands;
class CListFind;
class CPhonebookLists;
class CUtilityDoc;
class QWidget;

class CClipboardCommands : public QObject {
  Q_OBJECT

 public:
  // `view` owns the commands and the messages they show; `entries` deletes what is cut.
  CClipboardCommands(CUtilityDoc* document, CPhonebookLists& lists, CListFind& find,
                     CEntryCommands& entries, QWidget* view);

  void OnEditCut();
  void OnEditCopy();
  void OnEditPaste();
  void BindCommands(CCommandHandlers& commands);

 signals:
  void commandStateChanged();
  void rowsPasted();  // rows were added to the phonebook

 private:
  bool CopySelectionToClipboard();
  bool ReadClipboardLines(std::vector<std::string>& lines);
  void PasteLines(const std::vector<std::string>& lines);
  // After a paste: tells of the rows skipped and of the numbers running out.
  void OnClipboardChanged();

  CUtilityDoc* m_pDoc;
  CPhonebookLists& m_lists;
  CListFind& m_find;
  CEntryCommands& m_entries;
  QWidget* m_pView;
  bool m_bClipboardHasText = false;      // the clipboard held text at its last change
};
