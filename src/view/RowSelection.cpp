// Selections of whole rows, range by range.
#include "view/RowSelection.h"

#include <QAbstractItemModel>

#include <algorithm>

std::vector<int> SelectedRows(const QItemSelection& selection) {
  std::vector<int> rows;
  for (const QItemSelectionRange& range : selection)
    for (int row = range.top(); range.isValid() && row <= range.bottom(); ++row) rows.push_back(row);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

QItemSelection WholeRows(const QAbstractItemModel& model, std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  QItemSelection selection;
  const int lastColumn = model.columnCount() - 1;
  for (std::size_t first = 0; first < rows.size();) {
    std::size_t last = first;
    while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1) ++last;
    selection.append(QItemSelectionRange(model.index(rows[first], 0), model.index(rows[last], lastColumn)));
    first = last + 1;
  }
  return selection;
}
