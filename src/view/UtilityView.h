// The view of one phonebook: the whole phonebook in number order, or one kana row at a
// time chosen by tabs along the bottom; sorting by column, the search field above the
// list, and the editing commands with their undo and redo.
// The lists only display what the view last read from the document's store.
#pragma once

#include <QWidget>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "ui/CommandTarget.h"
#include "phonebook/PhonebookEntry.h"
#include "view/EntryFilter.h"
#include "view/PhoneListModel.h"

class CFindBar;
class CProgressDialog;
class CTransferRunner;
struct PasteOutcome;
class CUtilityDoc;
class QMenu;
class QTabBar;
class QTableView;

enum DisplayMode { NumberOrder, KanaOrder };

class CUtilityView : public QWidget, public ICommandTarget {
  Q_OBJECT

 public:
  static constexpr int kKanaRowCount = 11;   // the tabs
  static constexpr int kAllRows = 11;        // the number list's row

  explicit CUtilityView(CUtilityDoc* document, QWidget* parent = nullptr);
  ~CUtilityView() override;

  CUtilityDoc* GetDocument() const { return m_pDoc; }

  // Refresh: refill the current list from the store under its row's sort state.
  void OnUpdate();

  DisplayMode Mode() const { return m_displayMode; }
  QTableView* CurrentList() const;
  CPhoneListModel* CurrentModel() const;
  int CurrentRow() const;
  QTableView* KanaList() const { return m_pKanaList; }
  QTableView* NumberList() const { return m_pNumberList; }
  CPhoneListModel* KanaModel() const { return m_pKanaModel; }
  CPhoneListModel* NumberModel() const { return m_pNumberModel; }
  QTabBar* TabStrip() const { return m_pTabBar; }
  const SortState& GetSortState(int row) const { return m_sortStates[row]; }

  // A click on column `column` of the list of row `row`.
  void OnSortClick(int row, int column);
  void ApplySort(CPhoneListModel& model, int row);
  // Selects the tab of the reading's kana row without refreshing; returns that row.
  int KanaRowOfReading(const std::string& reading);
  void SelectRow(QTableView* list, int index);
  void DeleteSelectedRows();

  // Command handlers.
  void OnKanaOrder();
  void OnNumberOrder();
  void OnAddEntry();
  void OnEditEntry();
  void OnDeleteEntry();
  void OnDeleteAll();
  void OnEditCut();
  void OnEditCopy();
  void OnEditPaste();
  // The clipboard steps of cut, copy and paste (UtilityViewClipboard.cpp).
  bool CopySelectionToClipboard();
  bool ReadClipboardLines(std::vector<std::string>& lines);
  void PasteLines(const std::vector<std::string>& lines);
  // Find (UtilityViewFind.cpp): the search field above the list filters both lists.
  void OnEditFind();
  // Filters by `text` (as typed into the search field or the toolbar's box), showing the
  // search field while the text is not empty.
  void SetFindText(const QString& text);
  // Clears the search and hides its field; every row shows again.
  void EndFind();
  bool IsFinding() const { return m_filter.IsActive(); }
  QString FindText() const { return m_filter.Text(); }
  // How many entries of the phonebook match ("12 件が一致しました"); empty without a search.
  QString FindSummary() const;
  CFindBar* FindBar() const { return m_pFindBar; }
  // Undo and redo (UtilityViewHistory.cpp).
  void OnEditUndo();
  void OnEditRedo();
  // Transfer commands, run by the view's CTransferRunner.
  void OnDownload();
  void OnUpload();
  CProgressDialog& ProgressDialog() const;

  // The context menu with the states of this moment.
  std::unique_ptr<QMenu> CreateContextMenu();

  bool OnUpdateCommand(int id, CommandState& state) override;
  bool OnCommand(int id) override;

  int SelectedCount() const;
  // The memory numbers of the rows selected in the current list, top to bottom.
  std::vector<int> SelectedNumbers() const;

 signals:
  // Something that decides the commands' states changed (selection, rows, mode).
  void commandStateChanged();
  // The search's text changed (from the field, the toolbar's box or the view itself).
  void findTextChanged(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  QTableView* CreateList(CPhoneListModel* model, QWidget* parent, const QString& name);
  void SetDisplayMode(DisplayMode mode, int sortKey);
  void RefillCurrentList(int row);
  // Add and Edit: show the stored entry in its tab and select its row.
  void ShowStoredEntry(const PhonebookEntry& entry);
  // True for a store result of 0. Otherwise the store kept what it had: the list is
  // refilled from it and the write failure is shown.
  bool StoreWritten(int result);
  PhonebookEntry EntryFromTexts(const std::array<std::string, FieldCount>& texts) const;
  void OnClipboardChanged();
  // After a paste: selects the rows of the pasted numbers and focuses the last of them.
  void SelectPastedRows(const std::vector<std::string>& pastedNumbers);
  // Find: the filter both models take (the lists show it from their next fill), the
  // matches per tab, the rows Delete all takes.
  void ApplyFilter(const CEntryFilter& filter);
  // Ends the search and hides its field, without refilling the list.
  void DropFilter();
  void UpdateMatchCounts();
  // In kana order during a search: the first tab with a match, when the list's has none.
  void ShowATabWithMatches();
  void MarkTabsWithoutMatch();
  // Ends the search, without refilling, when it would hide one of `entries`.
  void RevealEntries(const std::vector<PhonebookEntry>& entries);
  [[nodiscard]] int DeleteRowsOfDeleteAll();
  // Undo or redo, with the entries it brought back shown and selected.
  void ReplayHistory(bool backwards);
  bool HistoryCommandState(int id, CommandState& state) const;
  // After a paste: tells of the rows skipped and of the numbers running out.
  void ShowPasteReport(const PasteOutcome& outcome);

  CUtilityDoc* m_pDoc;
  QWidget* m_pTabStrip = nullptr;        // the kana list above the tab bar
  QTabBar* m_pTabBar = nullptr;
  QTableView* m_pKanaList = nullptr;
  QTableView* m_pNumberList = nullptr;
  CFindBar* m_pFindBar = nullptr;        // the search field above the list
  CPhoneListModel* m_pKanaModel = nullptr;
  CPhoneListModel* m_pNumberModel = nullptr;
  DisplayMode m_displayMode = NumberOrder;
  std::array<SortState, kAllRows + 1> m_sortStates{};
  bool m_bClipboardHasText = false;      // the clipboard held text at its last change
  CEntryFilter m_filter;                 // the search; inactive when its text is empty
  std::array<int, kKanaRowCount> m_matchCounts{};  // matching entries per kana row
  std::unique_ptr<CTransferRunner> m_pTransfers;     // download and upload
};
