// One phonebook list: a table of whole rows over its own model, with the editor's column
// widths, the sort mark in its header and a selection that stays visible while another
// window has the focus; and the selections that the commands read and make.
#pragma once

#include <QTableView>

#include <string>
#include <vector>

#include "view/PhoneListModel.h"

class CPhoneList : public QTableView {
  Q_OBJECT

 public:
  CPhoneList(const QString& accessibleName, QWidget* parent);

  CPhoneListModel* Model() const { return m_pModel; }

  int SelectedCount() const;
  // The memory numbers of the selected rows, top to bottom.
  std::vector<int> SelectedNumbers() const;
  // Selects row `index` alone (the last row when it is out of range) and takes the focus.
  void SelectRow(int index);
  // Selects the rows holding the memory number texts `numbers` (a text named twice takes
  // two rows that hold it), makes the last of them current and takes the focus.
  void SelectNumbers(const std::vector<std::string>& numbers);

 signals:
  // The selection or the rows changed.
  void contentsChanged();

 private:
  CPhoneListModel* m_pModel;
};
