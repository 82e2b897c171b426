// The rows a phonebook list shows, filled from the entries the store listed: the cells
// keep the store's code page 932 bytes (which the reading order compares) beside the text
// shown. The model is only a display; the store holds the data.
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <string>
#include <vector>

#include "phonebook/PhonebookEntry.h"

// The order a list is sorted in: a list column (0, 2 or 6) and its direction.
struct SortState {
  int key = 0;
  bool ascending = true;
};

class CPhoneListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kColumnCount = FieldCount;
  // The list's title of a column (a FieldPosition), which other tables of entries share.
  static QString ColumnTitle(int column);
  // Header role giving the sort mark: 1 ascending, -1 descending, 0 none.
  static constexpr int SortMarkRole = Qt::UserRole + 1;

  explicit CPhoneListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // The rows become `entries`, in their order, in one reset of the model.
  void SetEntries(const std::vector<PhonebookEntry>& entries);
  // Deletes the rows `rows` (in any order) in one reset of the model.
  void DeleteRows(const std::vector<int>& rows);
  void DeleteItem(int index);
  // The cell's code page 932 bytes.
  const std::string& ItemBytes(int row, int column) const;
  // The first row whose memory number cell equals `numberText`, or -1.
  int FindNumber(const std::string& numberText) const;

  // Reorders the rows under `state` and shows its column's mark in the header.
  void Sort(const SortState& state);

 private:
  struct Row {
    std::array<std::string, kColumnCount> bytes;
    std::array<QString, kColumnCount> text;
  };

  std::vector<Row> m_rows;
  SortState m_sortState;
};

// The list order: negative when row a comes before row b under `state`.
int CompareRows(const std::array<std::string, FieldCount>& a,
                const std::array<std::string, FieldCount>& b, const SortState& state);
