// The phonebook windows cascaded.
#include "app/WindowArrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <algorithm>

#include "app/ChildFrame.h"

QRect CascadedGeometry(const QMdiArea& area, const QMdiSubWindow& window, int index, int count) {
  // Each window steps down and right by a title bar's height, and all of them end within
  // the area; none is made smaller than half the area.
  QStyleOptionTitleBar option;
  option.initFrom(&window);
  const int step = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &window) + 2;
  const QSize space = area.viewport()->size();
  const int steps = std::max(count - 1, 0);
  const QSize size(std::max(space.width() - steps * step, space.width() / 2),
                   std::max(space.height() - steps * step, space.height() / 2));
  return QRect(QPoint(index * step, index * step), size);
}

void CascadePhonebookWindows(QMdiArea& area) {
  QList<CChildFrame*> windows = PhonebookWindows(area);
  CChildFrame* active = ActivePhonebookWindow(area);
  // The active window goes last, so that it ends in front.
  if (windows.removeOne(active)) windows.push_back(active);
  for (int index = 0; index < windows.size(); ++index) {
    CChildFrame* window = windows[index];
    window->showNormal();
    window->setGeometry(CascadedGeometry(area, *window, index, static_cast<int>(windows.size())));
    window->raise();
  }
  if (active) area.setActiveSubWindow(active);
}
