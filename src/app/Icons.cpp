// Toolbar images and window icons, drawn with QPainter so that the program ships no
// artwork files.
#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QPixmap>

#include "ui/CommandIds.h"

namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 15;

const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kBlue(30, 90, 200);
const QColor kGreen(20, 140, 60);
const QColor kYellow(235, 190, 60);

void DrawPage(QPainter& p, int x, int y, int w, int h) {
  p.setPen(kInk);
  p.setBrush(kPaper);
  p.drawRect(x, y, w - 1, h - 1);
}

void DrawText(QPainter& p, const QRect& box, const QString& text, int pixelSize, QColor colour) {
  QFont font = p.font();
  font.setPixelSize(pixelSize);
  font.setBold(true);
  p.setFont(font);
  p.setPen(colour);
  p.drawText(box, Qt::AlignCenter, text);
}

void DrawArrow(QPainter& p, int x, int top, int bottom, bool down, QColor colour) {
  p.setPen(QPen(colour, 2));
  p.drawLine(x, top, x, bottom);
  const int tip = down ? bottom : top;
  const int back = down ? tip - 3 : tip + 3;
  p.drawLine(x, tip, x - 3, back);
  p.drawLine(x, tip, x + 3, back);
}

void DrawCommand(QPainter& p, int id) {
  switch (id) {
    case ID_FILE_NEW:
      DrawPage(p, 3, 1, 10, 13);
      p.drawLine(9, 1, 12, 4);
      break;
    case ID_FILE_OPEN:
      p.setPen(kInk);
      p.setBrush(kYellow);
      p.drawRect(1, 4, 13, 9);
      p.drawRect(1, 2, 5, 2);
      break;
    case ID_FILE_SAVE:
      p.setPen(kInk);
      p.setBrush(kBlue);
      p.drawRect(1, 1, 13, 12);
      p.setBrush(kPaper);
      p.drawRect(4, 1, 7, 5);
      p.drawRect(4, 9, 7, 4);
      break;
    case ID_EDIT_CUT:
      p.setPen(QPen(kInk, 1));
      p.drawLine(5, 1, 10, 9);
      p.drawLine(10, 1, 5, 9);
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(2, 9, 4, 4);
      p.drawEllipse(9, 9, 4, 4);
      break;
    case ID_EDIT_COPY:
      DrawPage(p, 1, 1, 9, 10);
      DrawPage(p, 6, 4, 9, 10);
      break;
    case ID_EDIT_PASTE:
      p.setPen(kInk);
      p.setBrush(kYellow);
      p.drawRect(1, 2, 10, 12);
      p.setBrush(kInk);
      p.drawRect(4, 1, 4, 2);
      DrawPage(p, 7, 6, 8, 9);
      break;
    case ID_EDIT_UNDO:
    case ID_EDIT_REDO: {
      // A curved arrow turning back to the left (undo) or on to the right (redo).
      const bool undo = id == ID_EDIT_UNDO;
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(kBlue, 2));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRect(3, 3, 10, 9), undo ? 0 : 180 * 16, undo ? 180 * 16 : -180 * 16);
      const QPointF tip(undo ? 3 : 13, 8);
      const qreal side = undo ? 1 : -1;
      p.setPen(Qt::NoPen);
      p.setBrush(kBlue);
      p.drawPolygon(QPolygonF({tip + QPointF(-3 * side, -1), tip + QPointF(3 * side, -1),
                               tip + QPointF(0, 4)}));
      break;
    }
    case ID_EDIT_FIND:  // a magnifying glass
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(kPaper);
      p.drawEllipse(QRectF(1.5, 1.5, 8, 8));
      p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(9.5, 9.5), QPointF(13.5, 13));
      break;
    case ID_KANA_ORDER:
      DrawText(p, QRect(0, 0, kWidth, kHeight), QStringLiteral("あ"), 13, kBlue);
      break;
    case ID_NUMBER_ORDER:
      DrawText(p, QRect(0, 0, kWidth, kHeight), QStringLiteral("12"), 11, kBlue);
      break;
    case ID_ADD_ENTRY:
      DrawPage(p, 1, 1, 10, 13);
      p.setPen(QPen(kGreen, 2));
      p.drawLine(11, 6, 11, 14);
      p.drawLine(7, 10, 15, 10);
      break;
    case ID_DOWNLOAD:
    case ID_UPLOAD:
      p.setPen(kInk);
      p.setBrush(kPaper);
      p.drawRoundedRect(1, 1, 5, 13, 1, 1);  // the handset
      p.setBrush(kBlue);
      p.drawRect(9, 6, 6, 5);                 // the PC
      p.drawLine(10, 13, 14, 13);
      if (id == ID_DOWNLOAD) {
        p.setPen(QPen(kGreen, 1));
        p.drawLine(6, 4, 12, 4);
        p.drawLine(12, 4, 10, 2);
      } else {
        p.setPen(QPen(kGreen, 1));
        p.drawLine(12, 4, 6, 4);
        p.drawLine(6, 4, 8, 2);
      }
      break;
    case ID_OPEN_MANUAL:
      p.setPen(kInk);
      p.setBrush(kGreen);
      p.drawRect(2, 1, 11, 13);
      DrawText(p, QRect(2, 1, 11, 13), QStringLiteral("?"), 10, kPaper);
      break;
    case ID_APP_ABOUT:
      p.setPen(kInk);
      p.setBrush(kBlue);
      p.drawEllipse(1, 0, 14, 14);
      DrawText(p, QRect(1, 0, 14, 14), QStringLiteral("i"), 11, kPaper);
      break;
    default:
      DrawArrow(p, 8, 2, 12, true, kInk);
      break;
  }
}

QPixmap Blank(int w, int h) {
  QPixmap pixmap(w, h);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A handset with a name card: the phonebook's mark, at the size asked.
QPixmap DrawPhonebook(int size, QColor body) {
  QPixmap pixmap = Blank(size, size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(body);
  p.drawRoundedRect(QRectF(8, 2, 16, 28), 3, 3);
  p.setBrush(kPaper);
  p.drawRect(QRectF(11, 5, 10, 9));
  p.setBrush(kInk);
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      p.drawEllipse(QPointF(12.5 + column * 3.5, 18 + row * 3.5), 0.9, 0.9);
  return pixmap;
}

}  // namespace

QIcon CommandIcon(int commandId) {
  QPixmap pixmap = Blank(kWidth, kHeight);
  QPainter painter(&pixmap);
  DrawCommand(painter, commandId);
  painter.end();
  return QIcon(pixmap);
}

QIcon MainWindowIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) icon.addPixmap(DrawPhonebook(size, kBlue));
  return icon;
}

QIcon PhonebookIcon() {
  QIcon icon;
  for (int size : {16, 32}) icon.addPixmap(DrawPhonebook(size, kYellow));
  return icon;
}
