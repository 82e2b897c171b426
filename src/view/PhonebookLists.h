// The lists of a phonebook's view: the whole phonebook in number order, or one kana row at
// a time chosen by the tabs along the bottom of the kana list. Each row (each tab, and the
// number list) keeps its own sort order; the lists show the entries the search takes in,
// as the store lists them.
#pragma once

#include <QObject>

#include <array>
#include <string>

#include "view/EntryFilter.h"
#include "view/PhoneListModel.h"

class CCommandHandlers;
class CPhoneList;
class CUtilityDoc;
class QBoxLayout;
class QTabBar;
class QWidget;

enum DisplayMode { NumberOrder, KanaOrder };

class CPhonebookLists : public QObject {
  Q_OBJECT

 public:
  static constexpr int kKanaRowCount = 11;   // the tabs
  static constexpr int kAllRows = 11;        // the number list's row

  // Makes the lists inside `view`, which lays them out with PlaceIn.
  CPhonebookLists(CUtilityDoc* document, QWidget* view);
  void PlaceIn(QBoxLayout& layout) const;

  DisplayMode Mode() const { return m_displayMode; }
  CPhoneList* CurrentList() const;
  // The kana row the current list shows: its tab, or kAllRows for the number list.
  int CurrentRow() const;
  CPhoneList* KanaList() const { return m_pKanaList; }
  CPhoneList* NumberList() const { return m_pNumberList; }
  QTabBar* TabStrip() const { return m_pTabBar; }
  bool HasRows() const;

  // Refills the current list, focuses it and tells of the new state.
  void Refresh();
  // Refills the current list from the store as row `row` under its sort order.
  void Refill(int row);
  // The entries the lists take in from their next fill.
  void SetFilter(const CEntryFilter& filter) { m_filter = filter; }

  const SortState& GetSortState(int row) const { return m_sortStates[row]; }
  // A click on column `column` of the list of row `row`.
  void OnSortClick(int row, int column);
  // Moves the tabs to `row` without refilling; returns the tab now current.
  int SelectTab(int row);
  // Moves the tabs to the kana row of `reading` without refilling; returns that row.
  int SelectTabOfReading(const std::string& reading);

  void OnKanaOrder();
  void OnNumberOrder();
  void BindCommands(CCommandHandlers& commands);

 signals:
  void commandStateChanged();
  // The current list was refilled from the store.
  void refilled();
  // The lists switched between number and kana order (and were refilled).
  void displayModeChanged();

 private:
  void SetDisplayMode(DisplayMode mode, int sortKey);

  CUtilityDoc* m_pDoc;
  QWidget* m_pTabStrip = nullptr;        // the kana list above the tab bar
  QTabBar* m_pTabBar = nullptr;
  CPhoneList* m_pKanaList = nullptr;
  CPhoneList* m_pNumberList = nullptr;
  DisplayMode m_displayMode = NumberOrder;
  std::array<SortState, kAllRows + 1> m_sortStates{};
  CEntryFilter m_filter;                 // the search; the lists show only its matches
};
