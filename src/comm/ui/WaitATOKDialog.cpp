// The wake-up notice.
#include "comm/ui/WaitATOKDialog.h"

#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

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

  // The heading over the two lines of advice, in a box as large as they need with the
  // template's margins around them: the template's fixed places left it mostly empty.
  m_pHeading = new QLabel(QStringLiteral("通信準備中．．．"));
  m_pHeading->setAlignment(Qt::AlignCenter);
  m_pAdvice = new QLabel(QStringLiteral("通信準備完了まで時間がかかる場合があります\n"
                                        "通信準備中はUSBケーブルを抜かないで下さい"));
  m_pAdvice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(units.X(21), units.Y(14), units.X(21), units.Y(14));
  layout->setSpacing(units.Y(6));
  layout->addWidget(m_pHeading);
  layout->addWidget(m_pAdvice, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->activate();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  show();
  return true;
}

void CwaitATOKDialog::closeEvent(QCloseEvent* event) { event->ignore(); }
