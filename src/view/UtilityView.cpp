// The phonebook view.
#include "view/UtilityView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

#include <cstdio>
#include <set>

#include "ui/CommandIds.h"
#include "ui/MenuBuilder.h"
#include "ui/QtText.h"
#include "ui/UiTexts.h"
#include "ui/UserPrompts.h"
#include "doc/UtilityDoc.h"
#include "files/FailureText.h"
#include "phonebook/EntryRules.h"
#include "phonebook/ReadingOrder.h"
#include "strings/StringIds.h"
#include "view/FindBar.h"
#include "view/InputDataDialog.h"
#include "view/RowSelection.h"
#include "view/SortHeaderView.h"
#include "view/TransferRunner.h"

namespace {

const char* const kTabLabels[CUtilityView::kKanaRowCount] = {
    "あ", "か", "さ", "た", "な", "は", "ま", "や", "ら", "わ", "他"};
const int kColumnWidths[CPhoneListModel::kColumnCount] = {100, 140, 140, 180, 180, 180, 100};


std::string NumberText(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", number);
  return text;
}

bool IsSortColumn(int column) {
  return column == FieldMemoryNumber || column == FieldReading || column == FieldGroup;
}

bool AskOkCancel(QWidget* owner, const char* caption, const char* text) {
  return ConfirmOkCancel(owner, QString::fromUtf8(caption), QString::fromUtf8(text));
}

}  // namespace

CUtilityView::CUtilityView(CUtilityDoc* document, QWidget* parent)
    : QWidget(parent), m_pDoc(document) {
  setAccessibleName(QString::fromUtf8(UiText::kViewName));
  m_pKanaModel = new CPhoneListModel(this);
  m_pNumberModel = new CPhoneListModel(this);

  m_pTabStrip = new QWidget(this);
  m_pTabStrip->setAccessibleName(QString::fromUtf8(UiText::kTabStripName));
  m_pKanaList = CreateList(m_pKanaModel, m_pTabStrip, QString::fromUtf8(UiText::kKanaListName));
  m_pTabBar = new QTabBar(m_pTabStrip);
  m_pTabBar->setShape(QTabBar::RoundedSouth);
  m_pTabBar->setExpanding(false);
  m_pTabBar->setDrawBase(true);
  m_pTabBar->setAccessibleName(QString::fromUtf8(UiText::kTabBarName));
  for (const char* label : kTabLabels) m_pTabBar->addTab(QString::fromUtf8(label));
  m_pTabBar->setCurrentIndex(0);
  auto* stripLayout = new QVBoxLayout(m_pTabStrip);
  stripLayout->setContentsMargins(0, 0, 0, 0);
  stripLayout->setSpacing(0);
  stripLayout->addWidget(m_pKanaList, 1);
  stripLayout->addWidget(m_pTabBar);
  connect(m_pTabBar, &QTabBar::currentChanged, this, [this] { OnUpdate(); });

  m_pNumberList = CreateList(m_pNumberModel, this, QString::fromUtf8(UiText::kNumberListName));
  m_pFindBar = new CFindBar(this);
  m_pFindBar->hide();
  connect(m_pFindBar, &CFindBar::textEdited, this, &CUtilityView::SetFindText);
  connect(m_pFindBar, &CFindBar::closeRequested, this, &CUtilityView::EndFind);
  connect(m_pFindBar, &CFindBar::listRequested, this, [this] {
    if (SelectedCount() == 0) SelectRow(CurrentList(), 0);
    CurrentList()->setFocus();
  });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_pFindBar);
  layout->addWidget(m_pTabStrip);
  layout->addWidget(m_pNumberList);
  m_pTabStrip->hide();
  setFocusPolicy(Qt::StrongFocus);
  connect(m_pDoc, &CUtilityDoc::updateViews, this, &CUtilityView::OnUpdate);
  // The clipboard is asked once per change: on X11 each question is a round trip to the
  // clipboard's owner, too slow for every pass over the command states.
  OnClipboardChanged();
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
          &CUtilityView::OnClipboardChanged);
  connect(m_pDoc, &CUtilityDoc::transferStateChanged, this, &CUtilityView::commandStateChanged);
  m_pTransfers = std::make_unique<CTransferRunner>(m_pDoc, this);
}

CUtilityView::~CUtilityView() = default;

void CUtilityView::OnDownload() { m_pTransfers->OnDownload(); }
void CUtilityView::OnUpload() { m_pTransfers->OnUpload(); }
CProgressDialog& CUtilityView::ProgressDialog() const { return m_pTransfers->ProgressDialog(); }

QTableView* CUtilityView::CreateList(CPhoneListModel* model, QWidget* parent,
                                     const QString& name) {
  auto* list = new QTableView(parent);
  list->setAccessibleName(name);
  list->setHorizontalHeader(new CSortHeaderView(list));
  list->setModel(model);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setShowGrid(true);
  list->setWordWrap(false);
  list->setTabKeyNavigation(false);
  list->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  list->verticalHeader()->hide();
  list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
  list->horizontalHeader()->setStretchLastSection(false);
  for (int column = 0; column < CPhoneListModel::kColumnCount; ++column)
    list->setColumnWidth(column, kColumnWidths[column]);
  // The selection stays visible while another window has the focus.
  QPalette palette = list->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight,
                   palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  list->setPalette(palette);
  list->setContextMenuPolicy(Qt::DefaultContextMenu);
  list->installEventFilter(this);
  list->viewport()->installEventFilter(this);
  connect(list->horizontalHeader(), &QHeaderView::sectionClicked, this, [this, list](int column) {
    OnSortClick(list == m_pKanaList ? m_pTabBar->currentIndex() : kAllRows, column);
  });
  connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CUtilityView::commandStateChanged);
  connect(model, &QAbstractItemModel::modelReset, this, &CUtilityView::commandStateChanged);
  return list;
}

QTableView* CUtilityView::CurrentList() const {
  return m_displayMode == KanaOrder ? m_pKanaList : m_pNumberList;
}

CPhoneListModel* CUtilityView::CurrentModel() const {
  return m_displayMode == KanaOrder ? m_pKanaModel : m_pNumberModel;
}

int CUtilityView::CurrentRow() const {
  return m_displayMode == KanaOrder ? m_pTabBar->currentIndex() : kAllRows;
}

int CUtilityView::SelectedCount() const {
  return static_cast<int>(SelectedRows(CurrentList()->selectionModel()->selection()).size());
}

std::vector<int> CUtilityView::SelectedNumbers() const {
  const CPhoneListModel* model = CurrentModel();
  const QItemSelectionModel* selection = CurrentList()->selectionModel();
  std::vector<int> numbers;
  for (int row = 0; row < model->rowCount(); ++row)
    if (selection->isRowSelected(row, QModelIndex()))
      numbers.push_back(DecimalValue(model->ItemBytes(row, FieldMemoryNumber)));
  return numbers;
}

void CUtilityView::RefillCurrentList(int row) {
  const SortState& state = m_sortStates[row];
  CDbPhoneCtrl& store = m_pDoc->Store();
  // A list the store could not give whole must not pass for the phonebook: the user is told
  // that entries are missing from it (the store itself is unchanged).
  const int result = store.FillList(*CurrentModel(), row, state.key, state.ascending);
  if (result != StoreOk && result != StoreNoWindow) {
    QString text = Text(IDS_LIST_READ_FAILED);
    if (store.LastOsError() != 0)
      text += QStringLiteral("\r\n\r\n") + QString::fromStdString(ReadFailureCause(store.LastOsError()));
    ShowMessage(this, Text(IDR_MAINFRAME), text, MessageIcon::Error);
  }
  ApplySort(*CurrentModel(), row);
  if (IsFinding()) UpdateMatchCounts();
}

void CUtilityView::OnUpdate() {
  RefillCurrentList(CurrentRow());
  CurrentList()->setFocus();
  emit commandStateChanged();
}

void CUtilityView::ApplySort(CPhoneListModel& model, int row) { model.Sort(m_sortStates[row]); }

void CUtilityView::OnSortClick(int row, int column) {
  if (!IsSortColumn(column) || row < 0 || row > kAllRows) return;
  SortState& state = m_sortStates[row];
  if (state.key == column) {
    state.ascending = !state.ascending;
  } else {
    state.key = column;
    state.ascending = true;
  }
  ApplySort(row == kAllRows ? *m_pNumberModel : *m_pKanaModel, row);
}

int CUtilityView::KanaRowOfReading(const std::string& reading) {
  const QSignalBlocker quiet(m_pTabBar);
  m_pTabBar->setCurrentIndex(KanaRowOfFirstByte(reading));
  // The bar repaints its new current tab although its change signal stays silent.
  m_pTabBar->update();
  return m_pTabBar->currentIndex();
}

void CUtilityView::SelectRow(QTableView* list, int index) {
  const int count = list->model()->rowCount();
  if (count == 0) return;
  if (index >= count || index < 0) index = count - 1;
  QItemSelectionModel* selection = list->selectionModel();
  selection->clearSelection();
  const QModelIndex target = list->model()->index(index, 0);
  selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                         QItemSelectionModel::Rows);
  list->scrollTo(target);
  list->setFocus();
}

void CUtilityView::SetDisplayMode(DisplayMode mode, int sortKey) {
  m_displayMode = mode;
  m_pNumberList->setVisible(mode == NumberOrder);
  m_pTabStrip->setVisible(mode == KanaOrder);
  for (SortState& state : m_sortStates) state = SortState{sortKey, true};
  OnUpdate();
  ShowATabWithMatches();
}

void CUtilityView::OnKanaOrder() {
  if (m_displayMode == NumberOrder) SetDisplayMode(KanaOrder, FieldReading);
}

void CUtilityView::OnNumberOrder() {
  if (m_displayMode == KanaOrder) SetDisplayMode(NumberOrder, FieldMemoryNumber);
}

PhonebookEntry CUtilityView::EntryFromTexts(const std::array<std::string, FieldCount>& texts) const {
  PhonebookEntry entry;
  entry.memoryNumber = DecimalValue(texts[FieldMemoryNumber]);
  entry.name = texts[FieldName];
  entry.reading = texts[FieldReading];
  entry.phone1 = UpperAscii(texts[FieldPhone1]);
  entry.phone2 = UpperAscii(texts[FieldPhone2]);
  entry.phone3 = UpperAscii(texts[FieldPhone3]);
  entry.group = DecimalValue(texts[FieldGroup]);
  return entry;
}

void CUtilityView::ShowStoredEntry(const PhonebookEntry& entry) {
  RevealEntries({entry});
  const int previousTab = m_pTabBar->currentIndex();
  const int entryTab = KanaRowOfReading(entry.reading);
  if (m_displayMode == KanaOrder && entryTab != previousTab) {
    OnUpdate();
  } else {
    RefillCurrentList(m_displayMode == KanaOrder ? previousTab : kAllRows);
  }
  SelectRow(CurrentList(), CurrentModel()->FindNumber(NumberText(entry.memoryNumber)));
  m_pDoc->SetModifiedFlag();
  emit commandStateChanged();
}

void CUtilityView::OnAddEntry() {
  CInputDataDialog dialog(this);
  dialog.m_strCaption = QString::fromUtf8(UiText::kAddDialogTitle);
  CDbPhoneCtrl& store = m_pDoc->Store();
  for (;;) {
    const int number = store.GetFreeMemoryNumber();
    if (number == 0) {
      ShowMessage(this, Text(IDS_MEMORY_FULL_CAPTION), Text(IDS_MEMORY_FULL), MessageIcon::Warning);
      return;
    }
    dialog.m_strFields = {NumberText(number), "", "", "", "", "", "1"};
    dialog.m_pDoc = m_pDoc;
    if (dialog.DoModal() != QDialog::Accepted) return;
    const PhonebookEntry entry = EntryFromTexts(dialog.m_strFields);
    const auto step = m_pDoc->BeginStep(IDS_STEP_ADD);
    if (!StoreWritten(store.AddEntry(entry))) return;
    ShowStoredEntry(entry);
    if (!dialog.m_bAddNext) return;
  }
}

void CUtilityView::OnEditEntry() {
  QTableView* list = CurrentList();
  CPhoneListModel* model = CurrentModel();
  const int row = CurrentRow();
  const QModelIndexList selected = list->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  int index = selected.first().row();
  for (const QModelIndex& each : selected) index = std::min(index, each.row());

  CInputDataDialog dialog(this);
  dialog.m_strCaption = QString::fromUtf8(UiText::kEditDialogTitle);
  for (int column = 0; column < FieldCount; ++column)
    dialog.m_strFields[column] = model->ItemBytes(index, column);
  const std::string previousNumber = dialog.m_strFields[FieldMemoryNumber];
  dialog.m_pDoc = m_pDoc;
  dialog.m_nEditNumber = DecimalValue(previousNumber);
  if (dialog.DoModal() != QDialog::Accepted) return;

  model->DeleteItem(model->FindNumber(previousNumber));
  std::vector<std::string> numbers{previousNumber};
  const PhonebookEntry entry = EntryFromTexts(dialog.m_strFields);
  // The old entry goes and the new one comes in one step, or neither does.
  CDbPhoneCtrl& store = m_pDoc->Store();
  const auto step = m_pDoc->BeginStep(IDS_STEP_EDIT);
  CDbPhoneCtrl::Batch batch(store);
  int result = store.DeleteEntries(row, numbers);
  if (result == StoreOk) result = store.AddEntry(entry);
  if (result == StoreOk) result = batch.Commit();
  if (!StoreWritten(result)) return;
  ShowStoredEntry(entry);
}

bool CUtilityView::StoreWritten(int result) {
  if (result == StoreOk) return true;
  CDbPhoneCtrl& store = m_pDoc->Store();
  OnUpdate();
  ShowStoreFailure(this, Text(IDS_WRITE_CAPTION), Text(IDS_WRITE_FAILED), store,
                   store.LastOsError());
  return false;
}

void CUtilityView::OnDeleteEntry() {
  if (!AskOkCancel(this, UiText::kDeleteCaption, UiText::kDeleteText)) return;
  const auto step = m_pDoc->BeginStep(IDS_STEP_DELETE);
  DeleteSelectedRows();
}

void CUtilityView::DeleteSelectedRows() {
  QTableView* list = CurrentList();
  CPhoneListModel* model = CurrentModel();
  std::set<int> selected;
  for (const QModelIndex& index : list->selectionModel()->selectedRows())
    selected.insert(index.row());
  if (selected.empty()) return;

  std::vector<std::string> numbers;
  int lastDeleted = -1;
  model->SetRedraw(false);
  // Rows are removed walking down, so each later selected row moves up by the rows removed.
  int removed = 0;
  for (int row : selected) {
    const int position = row - removed;
    lastDeleted = position;
    numbers.push_back(model->ItemBytes(position, FieldMemoryNumber));
    model->DeleteItem(position);
    ++removed;
  }
  model->SetRedraw(true);
  if (!StoreWritten(m_pDoc->Store().DeleteEntries(CurrentRow(), numbers))) return;
  SelectRow(list, lastDeleted);
  if (IsFinding()) UpdateMatchCounts();
  m_pDoc->SetModifiedFlag();
  emit commandStateChanged();
}

void CUtilityView::OnDeleteAll() {
  if (!AskOkCancel(this, UiText::kDeleteAllCaption, UiText::kDeleteAllText))
    return;
  const auto step = m_pDoc->BeginStep(IDS_STEP_DELETE_ALL);
  if (!StoreWritten(DeleteRowsOfDeleteAll())) return;
  OnUpdate();
  m_pDoc->SetModifiedFlag();
}

void CUtilityView::OnClipboardChanged() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  m_bClipboardHasText = data && data->hasText();
  emit commandStateChanged();
}

bool CUtilityView::OnUpdateCommand(int id, CommandState& state) {
  const int selected = SelectedCount();
  switch (id) {
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_DELETE_ENTRY:
      state.enabled = selected >= 1;
      return true;
    case ID_EDIT_PASTE:
      state.enabled = m_bClipboardHasText;
      return true;
    case ID_KANA_ORDER:
    case ID_NUMBER_ORDER:
      state.enabled = true;
      state.radio = true;
      state.checked = (id == ID_KANA_ORDER) == (m_displayMode == KanaOrder);
      return true;
    case ID_ADD_ENTRY:
      state.enabled = true;
      return true;
    case ID_DOWNLOAD:
    case ID_UPLOAD:
      // Refused while this phonebook's last session is still ending (after Abort).
      state.enabled = !m_pDoc->IsTransferBusy();
      return true;
    case ID_EDIT_ENTRY:
      state.enabled = selected == 1;
      return true;
    case ID_DELETE_ALL:
      state.enabled = m_pKanaModel->rowCount() > 0 || m_pNumberModel->rowCount() > 0;
      return true;
    case ID_EDIT_FIND:
      state.enabled = true;
      return true;
    default:
      return HistoryCommandState(id, state);
  }
}

bool CUtilityView::OnCommand(int id) {
  switch (id) {
    case ID_EDIT_CUT: OnEditCut(); return true;
    case ID_EDIT_COPY: OnEditCopy(); return true;
    case ID_EDIT_PASTE: OnEditPaste(); return true;
    case ID_KANA_ORDER: OnKanaOrder(); return true;
    case ID_NUMBER_ORDER: OnNumberOrder(); return true;
    case ID_ADD_ENTRY: OnAddEntry(); return true;
    case ID_EDIT_ENTRY: OnEditEntry(); return true;
    case ID_DELETE_ENTRY: OnDeleteEntry(); return true;
    case ID_DELETE_ALL: OnDeleteAll(); return true;
    case ID_DOWNLOAD: OnDownload(); return true;
    case ID_UPLOAD: OnUpload(); return true;
    // The document writes the file; the view knows which rows are selected.
    case ID_FILE_EXPORT: m_pDoc->OnFileExport(SelectedNumbers()); return true;
    case ID_EDIT_FIND: OnEditFind(); return true;
    case ID_EDIT_UNDO: OnEditUndo(); return true;
    case ID_EDIT_REDO: OnEditRedo(); return true;
    default: return false;
  }
}

std::unique_ptr<QMenu> CUtilityView::CreateContextMenu() {
  auto menu = std::make_unique<QMenu>(this);
  menu->setAccessibleName(QString::fromUtf8(UiText::kContextMenuName));
  // The chosen command goes to the view, which hands on those it does not handle itself.
  AddMenuItems(*menu, MenuResource(IDR_CONTEXT_MENU).front(), [this](int id) {
    if (!OnCommand(id)) m_pDoc->OnCommand(id);
  });
  for (QAction* action : menu->actions()) {
    const int id = CommandIdOf(action);
    if (id == 0) continue;
    CommandState state;
    OnUpdateCommand(id, state);
    state.radio = false;  // the context menu shows check marks
    ApplyMenuState(*action, state);
  }
  return menu;
}

void CUtilityView::contextMenuEvent(QContextMenuEvent* event) {
  std::unique_ptr<QMenu> menu = CreateContextMenu();
  menu->exec(event->globalPos());
}

void CUtilityView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  CurrentList()->setFocus();
}

bool CUtilityView::eventFilter(QObject* watched, QEvent* event) {
  const bool isList = watched == m_pKanaList || watched == m_pNumberList;
  const bool isViewport = watched == m_pKanaList->viewport() || watched == m_pNumberList->viewport();
  if (isList && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const int selected = SelectedCount();
    if (key == Qt::Key_Delete && static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
      if (selected >= 1) OnDeleteEntry();
      return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (selected == 1) OnEditEntry();
      return true;
    }
    if (key == Qt::Key_Escape && IsFinding()) {
      EndFind();
      return true;
    }
  }
  if (isViewport && event->type() == QEvent::MouseButtonDblClick) {
    const int selected = SelectedCount();
    if (selected == 0) OnAddEntry();
    else if (selected == 1) OnEditEntry();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
