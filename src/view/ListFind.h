// The search of a phonebook's view: the field above the list filters both lists as the
// user types, the kana tabs show which rows hold matches, and the bar and the status bar
// say how many entries match.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <vector>

#include "phonebook/PhonebookEntry.h"
#include "view/EntryFilter.h"
#include "view/PhonebookLists.h"

class CCommandHandlers;
class CFindBar;
class CUtilityDoc;

class CListFind : public QObject {
  Q_OBJECT

 public:
  // `bar` is the view's search field, which this search drives.
  CListFind(CUtilityDoc* document, CPhonebookLists& lists, CFindBar* bar, QObject* parent);

  CFindBar* FindBar() const { return m_pFindBar; }
  void OnEditFind();
  // Filters by `text` (as the search field holds it), showing the search field while the
  // text is not empty.
  void SetFindText(const QString& text);
  // Clears the search and hides its field; every row shows again.
  void EndFind();
  bool IsFinding() const { return m_filter.IsActive(); }
  QString FindText() const { return m_filter.Text(); }
  // How many entries of the phonebook match ("12 件が一致しました"); empty without a search.
  QString FindSummary() const;

  // Ends the search and hides its field, without refilling the list.
  void DropFilter();
  // Ends the search, without refilling, when it would hide one of `entries`.
  void RevealEntries(const std::vector<PhonebookEntry>& entries);
  // During a search: counts the matches per kana row again, after the rows changed.
  void CountMatches();
  void BindCommands(CCommandHandlers& commands);

 signals:
  void commandStateChanged();

 private:
  // The filter both lists take (they show it from their next fill).
  void ApplyFilter(const CEntryFilter& filter);
  // In kana order during a search: the first tab with a match, when the list's has none.
  void ShowATabWithMatches();
  void MarkTabsWithoutMatch();

  CUtilityDoc* m_pDoc;
  CPhonebookLists& m_lists;
  CFindBar* m_pFindBar;                  // the search field above the list
  CEntryFilter m_filter;                 // the search; inactive when its text is empty
  std::array<int, CPhonebookLists::kKanaRowCount> m_matchCounts{};  // matches per kana row
};
