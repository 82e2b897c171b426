// Header painting with the sort marks.
#include "view/SortHeaderView.h"

#include <QPainter>
#include <QPolygon>

#include "view/PhoneListModel.h"

CSortHeaderView::CSortHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionsClickable(true);
  setHighlightSections(false);
  setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CSortHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  QHeaderView::paintSection(painter, rect, logicalIndex);
  if (!model()) return;
  const int mark = model()->headerData(logicalIndex, Qt::Horizontal,
                                       CPhoneListModel::SortMarkRole).toInt();
  if (mark == 0) return;
  const QString title = model()->headerData(logicalIndex, Qt::Horizontal).toString();
  const int textWidth = fontMetrics().horizontalAdvance(title);
  const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
  int left = rect.left() + margin + textWidth + margin * 2;
  left = std::min(left, rect.right() - kMarkWidth - margin);
  const int top = rect.center().y() - kMarkHeight / 2;
  QPolygon triangle;
  if (mark > 0)
    triangle << QPoint(left, top + kMarkHeight - 1) << QPoint(left + kMarkWidth - 1, top + kMarkHeight - 1)
             << QPoint(left + kMarkWidth / 2, top);
  else
    triangle << QPoint(left, top) << QPoint(left + kMarkWidth - 1, top)
             << QPoint(left + kMarkWidth / 2, top + kMarkHeight - 1);
  painter->save();
  // The base painting leaves the painter clipped to nothing; the mark lies in the section.
  painter->setClipRect(rect);
  painter->setPen(palette().color(QPalette::Shadow));
  painter->setBrush(palette().color(QPalette::Dark));
  painter->drawPolygon(triangle);
  painter->restore();
}

QSize CSortHeaderView::sectionSizeFromContents(int logicalIndex) const {
  QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
  size.rwidth() += kMarkWidth + 8;
  return size;
}
