// Where the phonebook windows stand inside the main window when they are not maximised:
// cascaded, each as large as the area allows with the title bars of those behind it in
// view, so that every window still shows its list at a useful size.
#pragma once

#include <QRect>

class QMdiArea;
class QMdiSubWindow;

inline constexpr int kMostPhonebookWindows = 3;  // the stores' slots allow no more

// The place of window `index` of `count` cascaded in `area`.
QRect CascadedGeometry(const QMdiArea& area, const QMdiSubWindow& window, int index, int count);
// Cascades every phonebook window of `area`, the active one in front.
void CascadePhonebookWindows(QMdiArea& area);
