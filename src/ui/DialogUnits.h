// Dialog units: dialog layouts are given in units of a quarter of the average character
// width and an eighth of the line height of the dialog's font.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QString>

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font) {
    QFontMetrics metrics(font);
    const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = (metrics.horizontalAdvance(sample) / 26.0 + 1) / 2.0;
    m_baseY = metrics.height();
  }
  int X(int units) const { return static_cast<int>(units * m_baseX / 4.0 + 0.5); }
  int Y(int units) const { return static_cast<int>(units * m_baseY / 8.0 + 0.5); }
  QRect Rect(int x, int y, int w, int h) const {
    return QRect(X(x), Y(y), X(x + w) - X(x), Y(y + h) - Y(y));
  }

 private:
  double m_baseX;  // pixels of a character width
  double m_baseY;  // pixels of a line
};
