// The selected rows of a list whose selection is made of whole rows, counted and built
// range by range: asking the selection model row by row costs a pass over every range
// for each row, which a selection of a thousand separate rows turns into seconds.
#pragma once

#include <QItemSelection>

#include <vector>

class QAbstractItemModel;

// The rows `selection` covers, top to bottom, each once (ranges may overlap).
std::vector<int> SelectedRows(const QItemSelection& selection);

// The whole rows `rows` of `model` (in any order, repeats allowed) as one range per run
// of consecutive rows.
QItemSelection WholeRows(const QAbstractItemModel& model, std::vector<int> rows);
