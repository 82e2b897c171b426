// The display rows of a phonebook list and their sorting.
#include "view/PhoneListModel.h"

#include <algorithm>
#include <numeric>

#include "ui/QtText.h"
#include "phonebook/EntryRules.h"
#include "phonebook/ReadingOrder.h"

namespace {

const char* const kColumnTitles[CPhoneListModel::kColumnCount] = {
    "番号", "名前", "読み", "電話番号１", "電話番号２", "電話番号3", "グループ"};

const std::string kEmpty;

}  // namespace

int CompareRows(const std::array<std::string, FieldCount>& a,
                const std::array<std::string, FieldCount>& b, const SortState& state) {
  const int numberOrder = DecimalValue(a[FieldMemoryNumber]) - DecimalValue(b[FieldMemoryNumber]);
  int result = 0;
  switch (state.key) {
    case FieldMemoryNumber:
      result = numberOrder;
      break;
    case FieldGroup:
      result = DecimalValue(a[FieldGroup]) - DecimalValue(b[FieldGroup]);
      break;
    case FieldReading:
      result = CompareReadings(a[FieldReading], b[FieldReading]);
      if (result == 0) result = numberOrder;
      break;
    default:
      return 0;
  }
  return state.ascending ? result : -result;
}

CPhoneListModel::CPhoneListModel(QObject* parent) : QAbstractTableModel(parent) {}

int CPhoneListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CPhoneListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant CPhoneListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount)
    return {};
  if (role == Qt::DisplayRole) return m_rows[index.row()].text[index.column()];
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

QString CPhoneListModel::ColumnTitle(int column) { return QString::fromUtf8(kColumnTitles[column]); }

QVariant CPhoneListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return ColumnTitle(section);
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
  if (role == SortMarkRole)
    return section == m_sortState.key ? (m_sortState.ascending ? 1 : -1) : 0;
  return {};
}

void CPhoneListModel::SetEntries(const std::vector<PhonebookEntry>& entries) {
  beginResetModel();
  m_rows.clear();
  m_rows.reserve(entries.size());
  for (const PhonebookEntry& entry : entries) {
    Row& row = m_rows.emplace_back();
    row.bytes = EntryToTexts(entry);
    for (int column = 0; column < kColumnCount; ++column)
      row.text[column] = FromCp932(row.bytes[column]);
  }
  endResetModel();
}

void CPhoneListModel::DeleteRows(const std::vector<int>& rows) {
  if (rows.empty()) return;
  std::vector<bool> removed(m_rows.size(), false);
  for (int row : rows)
    if (row >= 0 && row < rowCount()) removed[row] = true;
  beginResetModel();
  std::size_t kept = 0;
  for (std::size_t row = 0; row < m_rows.size(); ++row)
    if (!removed[row]) m_rows[kept++] = std::move(m_rows[row]);
  m_rows.resize(kept);
  endResetModel();
}

void CPhoneListModel::DeleteItem(int index) {
  if (index < 0 || index >= rowCount()) return;
  beginRemoveRows(QModelIndex(), index, index);
  m_rows.erase(m_rows.begin() + index);
  endRemoveRows();
}

const std::string& CPhoneListModel::ItemBytes(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return kEmpty;
  return m_rows[row].bytes[column];
}

int CPhoneListModel::FindNumber(const std::string& numberText) const {
  for (int i = 0; i < rowCount(); ++i)
    if (m_rows[i].bytes[FieldMemoryNumber] == numberText) return i;
  return -1;
}

void CPhoneListModel::Sort(const SortState& state) {
  m_sortState = state;
  emit layoutAboutToBeChanged();
  std::vector<int> order(m_rows.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return CompareRows(m_rows[a].bytes, m_rows[b].bytes, state) < 0;
  });
  std::vector<Row> sorted;
  sorted.reserve(m_rows.size());
  std::vector<int> newPosition(m_rows.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    newPosition[order[i]] = static_cast<int>(i);
    sorted.push_back(std::move(m_rows[order[i]]));
  }
  m_rows = std::move(sorted);
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before)
    after.push_back(index.isValid() && index.row() < static_cast<int>(newPosition.size())
                        ? this->index(newPosition[index.row()], index.column())
                        : QModelIndex());
  changePersistentIndexList(before, after);
  emit layoutChanged();
  emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}
