// The wake-up notice.
#include "comm/ui/WaitATOKDialog.h"

#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <algorithm>

#include "ui/DialogUnits.h"

CwaitATOKDialog::CwaitATOKDialog(QWidget* parent, int templateId)
    : QDialog(parent), m_pParent(parent), m_nTemplateId(templateId) {}

bool CwaitATOKDialog::Create() {
  if (m_nTemplateId != kTemplateId) return false;
  setParent(m_pParent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowTitle(QStringLiteral("通信準備中"));
  setAccessibleName(windowTitle());
  QFont dialogFont = font();
  dialogFont.setPointSize(8);
  setFont(dialogFont);
  const DialogUnits units(dialogFont);

  m_pHeading = new QLabel(QStringLiteral("通信準備中．．．"), this);
  m_pHeading->setAlignment(Qt::AlignCenter);
  m_pHeading->setGeometry(units.Rect(68, 22, 133, 17));

  m_pAdvice = new QLabel(QStringLiteral("通信準備完了まで時間がかかる場合があります\n"
                                        "通信準備中はUSBケーブルを抜かないで下さい"),
                         this);
  m_pAdvice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_pAdvice->setGeometry(units.Rect(46, 40, 160, 21));
  // The two lines must show whole whatever the font's real width.
  m_pAdvice->adjustSize();

  const QSize size(std::max(units.X(261), m_pAdvice->geometry().right() + units.X(8)),
                   units.Y(86));
  setFixedSize(size);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - QPoint(size.width() / 2, size.height() / 2));
  }
  show();
  return true;
}

void CwaitATOKDialog::closeEvent(QCloseEvent* event) { event->ignore(); }
