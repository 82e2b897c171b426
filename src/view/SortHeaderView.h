// The column header of a phonebook list: titles, and a small triangle right of the sort
// column's title (pointing up when ascending, down when descending).
#pragma once

#include <QHeaderView>

class CSortHeaderView : public QHeaderView {
  Q_OBJECT

 public:
  explicit CSortHeaderView(QWidget* parent = nullptr);

  static constexpr int kMarkWidth = 9;
  static constexpr int kMarkHeight = 6;

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  QSize sectionSizeFromContents(int logicalIndex) const override;
};
