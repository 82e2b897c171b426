// The preview of a fill of many readings: one row per entry with its name, the reading to
// give it (chosen among the dictionary's suggestions, the best first), its reading now,
// and a check box saying whether to fill it. Rows whose entry has no reading yet and that
// have a suggestion start checked; an entry that has a reading is changed only when the
// user checks it. The dialog knows no document: the caller writes what it returns.
#pragma once

#include <QDialog>

#include <vector>

#include "readings/ReadingFill.h"

class QPushButton;
class QStandardItemModel;
class QTableView;

class CReadingFillDialog : public QDialog {
  Q_OBJECT

 public:
  enum Column { ColumnFill, ColumnNumber, ColumnName, ColumnNewReading, ColumnOldReading, ColumnCount };

  explicit CReadingFillDialog(const std::vector<ReadingProposal>& proposals, QWidget* parent = nullptr);

  // The checked rows' entries and the readings chosen for them, in row order.
  std::vector<ChosenReading> ChosenReadings() const;

  QTableView* Table() const { return m_pTable; }
  QPushButton* CheckAllButton() const { return m_pCheckAll; }
  QPushButton* CheckNoneButton() const { return m_pCheckNone; }

 private:
  void CheckAll(bool checked);

  std::vector<ReadingProposal> m_proposals;
  QStandardItemModel* m_pModel = nullptr;
  QTableView* m_pTable = nullptr;
  QPushButton* m_pCheckAll = nullptr;
  QPushButton* m_pCheckNone = nullptr;
};
