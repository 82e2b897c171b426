// The number list, the kana list with its tabs, and their refills and sort orders.
#include "view/PhonebookLists.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QTabBar>

#include <algorithm>

#include "doc/UtilityDoc.h"
#include "files/FailureText.h"
#include "strings/StringIds.h"
#include "phonebook/ReadingOrder.h"
#include "ui/CommandHandlers.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UiTexts.h"
#include "ui/UserPrompts.h"
#include "view/PhoneList.h"

namespace {

const char* const kTabLabels[CPhonebookLists::kKanaRowCount] = {
    "あ", "か", "さ", "た", "な", "は", "ま", "や", "ら", "わ", "他"};

bool IsSortColumn(int column) {
  return column == FieldMemoryNumber || column == FieldReading || column == FieldGroup;
}

}  // namespace

CPhonebookLists::CPhonebookLists(CUtilityDoc* document, QWidget* view)
    : QObject(view), m_pDoc(document) {
  m_pTabStrip = new QWidget(view);
  m_pTabStrip->setAccessibleName(QString::fromUtf8(UiText::kTabStripName));
  m_pKanaList = new CPhoneList(QString::fromUtf8(UiText::kKanaListName), m_pTabStrip);
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
  connect(m_pTabBar, &QTabBar::currentChanged, this, [this] { Refresh(); });
  m_pNumberList = new CPhoneList(QString::fromUtf8(UiText::kNumberListName), view);
  m_pTabStrip->hide();

  for (CPhoneList* list : {m_pKanaList, m_pNumberList}) {
    connect(list->horizontalHeader(), &QHeaderView::sectionClicked, this, [this, list](int column) {
      OnSortClick(list == m_pKanaList ? m_pTabBar->currentIndex() : kAllRows, column);
    });
    connect(list, &CPhoneList::contentsChanged, this, &CPhonebookLists::commandStateChanged);
  }
}

void CPhonebookLists::PlaceIn(QBoxLayout& layout) const {
  layout.addWidget(m_pTabStrip);
  layout.addWidget(m_pNumberList);
}

CPhoneList* CPhonebookLists::CurrentList() const {
  return m_displayMode == KanaOrder ? m_pKanaList : m_pNumberList;
}

int CPhonebookLists::CurrentRow() const {
  return m_displayMode == KanaOrder ? m_pTabBar->currentIndex() : kAllRows;
}

bool CPhonebookLists::HasRows() const {
  return m_pKanaList->Model()->rowCount() > 0 || m_pNumberList->Model()->rowCount() > 0;
}

void CPhonebookLists::Refresh() {
  Refill(CurrentRow());
  CurrentList()->setFocus();
  emit commandStateChanged();
}

void CPhonebookLists::Refill(int row) {
  const SortState& state = m_sortStates[row];
  std::vector<PhonebookEntry> entries;
  CDbPhoneCtrl& store = m_pDoc->Store();
  // A list the store could not give whole must not pass for the phonebook: it shows empty
  // and the user is told that entries are missing from it (the store itself is unchanged).
  if (store.ListEntries(row, state.key, state.ascending, entries) != StoreResult::Ok) {
    entries.clear();
    QString text = Text(IDS_LIST_READ_FAILED);
    if (store.LastOsError() != 0)
      text += QStringLiteral("\r\n\r\n") + QString::fromStdString(ReadFailureCause(store.LastOsError()));
    ShowMessage(CurrentList(), Text(IDR_MAINFRAME), text, MessageIcon::Error);
  }
  if (m_filter.IsActive()) {
    const auto hidden = [this](const PhonebookEntry& entry) { return !m_filter.Matches(entry); };
    entries.erase(std::remove_if(entries.begin(), entries.end(), hidden), entries.end());
  }
  CPhoneListModel& model = *CurrentList()->Model();
  model.SetEntries(entries);
  model.Sort(state);
  emit refilled();
}

void CPhonebookLists::OnSortClick(int row, int column) {
  if (!IsSortColumn(column) || row < 0 || row > kAllRows) return;
  SortState& state = m_sortStates[row];
  if (state.key == column) {
    state.ascending = !state.ascending;
  } else {
    state.key = column;
    state.ascending = true;
  }
  (row == kAllRows ? m_pNumberList : m_pKanaList)->Model()->Sort(state);
}

int CPhonebookLists::SelectTab(int row) {
  const QSignalBlocker quiet(m_pTabBar);
  m_pTabBar->setCurrentIndex(row);
  // The bar repaints its new current tab although its change signal stays silent.
  m_pTabBar->update();
  return m_pTabBar->currentIndex();
}

int CPhonebookLists::SelectTabOfReading(const std::string& reading) {
  return SelectTab(KanaRowOfFirstByte(reading));
}

void CPhonebookLists::SetDisplayMode(DisplayMode mode, int sortKey) {
  m_displayMode = mode;
  m_pNumberList->setVisible(mode == NumberOrder);
  m_pTabStrip->setVisible(mode == KanaOrder);
  for (SortState& state : m_sortStates) state = SortState{sortKey, true};
  Refresh();
  emit displayModeChanged();
}

void CPhonebookLists::OnKanaOrder() {
  if (m_displayMode == NumberOrder) SetDisplayMode(KanaOrder, FieldReading);
}

void CPhonebookLists::OnNumberOrder() {
  if (m_displayMode == KanaOrder) SetDisplayMode(NumberOrder, FieldMemoryNumber);
}

void CPhonebookLists::BindCommands(CCommandHandlers& commands) {
  const auto orderState = [this](DisplayMode mode) {
    return [this, mode](CommandState& state) {
      state.enabled = true;
      state.checked = m_displayMode == mode;
    };
  };
  commands.BindState(ID_KANA_ORDER, orderState(KanaOrder), [this] { OnKanaOrder(); });
  commands.BindState(ID_NUMBER_ORDER, orderState(NumberOrder), [this] { OnNumberOrder(); });
}
