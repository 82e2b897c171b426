// Filling readings from the dictionary's suggestions for many entries at once: the rows
// the user selected (two or more), or else every entry without a reading, are shown in
// the fill preview; the readings the user keeps there are written as one undoable step.
// Entries that have a reading start unchecked, so they change only when the user asks.
// After entries without a reading arrive (an import, a paste), the status bar tells the
// user the command exists.
#pragma once

#include <QObject>

#include <vector>

class CCommandHandlers;
class CPhonebookLists;
class CReadingSuggester;
class CUtilityDoc;
class QWidget;
struct PhonebookEntry;

class CReadingCommands : public QObject {
  Q_OBJECT

 public:
  // `view` owns the commands and the messages they show.
  CReadingCommands(CUtilityDoc* document, CPhonebookLists& lists, QWidget* view);

  void OnFillReadings();
  // Says in the status bar how many entries have no reading and which command fills them;
  // says nothing when every entry has one.
  void TellOfEntriesWithoutReading();
  void BindCommands(CCommandHandlers& commands);

 signals:
  void commandStateChanged();

 private:
  // The selected rows' entries when two or more are selected, else every stored entry;
  // false when the store could not list them (the failure is shown).
  bool EntriesToFill(std::vector<PhonebookEntry>& entries, bool& selectedOnly);

  CUtilityDoc* m_pDoc;
  CPhonebookLists& m_lists;
  QWidget* m_pView;
  CReadingSuggester& m_suggester;
};
