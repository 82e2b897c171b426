// The view of one phonebook: the whole phonebook in number order, or one kana row at a
// time chosen by tabs along the bottom; sorting by column, and the editing commands.
// The lists only display what the view last read from the document's store.
#pragma once

#include <QWidget>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "ui/CommandTarget.h"
#include "phonebook/PhonebookEntry.h"
#include "view/PhoneListModel.h"

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
  // Transfer commands, run by the view's CTransferRunner.
  void OnDownload();
  void OnUpload();
  CProgressDialog& ProgressDialog() const;

  // The context menu with the states of this moment.
  std::unique_ptr<QMenu> CreateContextMenu();

  bool OnUpdateCommand(int id, CommandState& state) override;
  bool OnCommand(int id) override;

  int SelectedCount() const;

 signals:
  // Something that decides the commands' states changed (selection, rows, mode).
  void commandStateChanged();

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
  // After a paste: tells of the rows skipped and of the numbers running out.
  void ShowPasteReport(const PasteOutcome& outcome);

  CUtilityDoc* m_pDoc;
  QWidget* m_pTabStrip = nullptr;        // the kana list above the tab bar
  QTabBar* m_pTabBar = nullptr;
  QTableView* m_pKanaList = nullptr;
  QTableView* m_pNumberList = nullptr;
  CPhoneListModel* m_pKanaModel = nullptr;
  CPhoneListModel* m_pNumberModel = nullptr;
  DisplayMode m_displayMode = NumberOrder;
  std::array<SortState, kAllRows + 1> m_sortStates{};
  bool m_bClipboardHasText = false;      // the clipboard held text at its last change
  std::unique_ptr<CTransferRunner> m_pTransfers;     // download and upload
};
