// A phonebook list and its selections.
#include "view/PhoneList.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>

#include <algorithm>
#include <unordered_map>

#include "phonebook/EntryRules.h"
#include "view/RowSelection.h"
#include "view/SortHeaderView.h"

namespace {

const int kColumnWidths[CPhoneListModel::kColumnCount] = {100, 140, 140, 180, 180, 180, 100};
// The widest text of the number and group columns, which need less than their widths.
const char* const kNarrowColumnTexts[] = {"0000", "9"};

}  // namespace

CPhoneList::CPhoneList(const QString& accessibleName, QWidget* parent)
    : QTableView(parent), m_pModel(new CPhoneListModel(this)) {
  setAccessibleName(accessibleName);
  setHorizontalHeader(new CSortHeaderView(this));
  setModel(m_pModel);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setTabKeyNavigation(false);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setStretchLastSection(false);
  for (int column = 0; column < CPhoneListModel::kColumnCount; ++column)
    setColumnWidth(column, kColumnWidths[column]);
  // The number and group columns are only as wide as their titles (with the sort mark) or
  // texts need, so that all seven columns fit a window 1024 pixels wide without a
  // horizontal scroll bar.
  const int cellMargins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 4);
  const int narrowColumns[] = {FieldMemoryNumber, FieldGroup};
  for (int i = 0; i < 2; ++i) {
    const int column = narrowColumns[i];
    const int text = fontMetrics().horizontalAdvance(QString::fromLatin1(kNarrowColumnTexts[i]));
    const int needed = std::max(horizontalHeader()->sectionSizeHint(column), text + cellMargins);
    setColumnWidth(column, std::min(kColumnWidths[column], needed));
  }
  // The selection stays visible while another window has the focus.
  QPalette colours = palette();
  colours.setColor(QPalette::Inactive, QPalette::Highlight,
                   colours.color(QPalette::Active, QPalette::Highlight));
  colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   colours.color(QPalette::Active, QPalette::HighlightedText));
  setPalette(colours);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CPhoneList::contentsChanged);
  connect(m_pModel, &QAbstractItemModel::modelReset, this, &CPhoneList::contentsChanged);
}

int CPhoneList::SelectedCount() const {
  return static_cast<int>(SelectedRows(selectionModel()->selection()).size());
}

std::vector<int> CPhoneList::SelectedNumbers() const {
  std::vector<int> numbers;
  for (int row = 0; row < m_pModel->rowCount(); ++row)
    if (selectionModel()->isRowSelected(row, QModelIndex()))
      numbers.push_back(DecimalValue(m_pModel->ItemBytes(row, FieldMemoryNumber)));
  return numbers;
}

void CPhoneList::SelectRow(int index) {
  const int count = m_pModel->rowCount();
  if (count == 0) return;
  if (index >= count || index < 0) index = count - 1;
  QItemSelectionModel* selection = selectionModel();
  selection->clearSelection();
  const QModelIndex target = m_pModel->index(index, 0);
  selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                         QItemSelectionModel::Rows);
  scrollTo(target);
  setFocus();
}

void CPhoneList::SelectNumbers(const std::vector<std::string>& numbers) {
  std::unordered_map<std::string, int> pending;
  for (const std::string& number : numbers) ++pending[number];

  std::vector<int> rows;
  for (int row = 0; row < m_pModel->rowCount(); ++row) {
    auto it = pending.find(m_pModel->ItemBytes(row, FieldMemoryNumber));
    if (it == pending.end() || it->second == 0) continue;
    --it->second;
    rows.push_back(row);
  }
  const int lastSelected = rows.empty() ? -1 : rows.back();
  // One range per run of rows: a thousand one-row ranges make every later question to
  // the selection slow.
  selectionModel()->select(WholeRows(*m_pModel, std::move(rows)), QItemSelectionModel::ClearAndSelect);
  if (m_pModel->rowCount() > 0) {
    const QModelIndex focus = m_pModel->index(lastSelected < 0 ? 0 : lastSelected, 0);
    selectionModel()->setCurrentIndex(focus, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    scrollTo(focus);
  }
  setFocus();
}
