// The status bar's panes.
#include "app/StatusPanes.h"

#include <QGuiApplication>
#include <QLabel>
#include <QSizeGrip>
#include <QStatusBar>

#include "platform/LockKeys.h"
#include "ui/UiTexts.h"

namespace {

// The X11 display the lock keys are read from; none on Windows, whose backend asks the
// keyboard directly, nor on a display system without X11 (offscreen, Wayland).
void* NativeDisplay() {
#if QT_CONFIG(xcb)
  if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
    return x11->display();
#endif
  return nullptr;
}

QLabel* MakePane(const QString& text) {
  auto* pane = new QLabel(text);
  pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pane->setAlignment(Qt::AlignCenter);
  pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(text) + 12);
  pane->setAccessibleName(text);
  return pane;
}

}  // namespace

CStatusPanes::CStatusPanes(QStatusBar& bar)
    : m_pIdleLabel(new QLabel(QString::fromUtf8(UiText::kIdleMessage))),
      m_pCapsPane(MakePane(QStringLiteral("CAP"))),
      m_pNumPane(MakePane(QStringLiteral("NUM"))),
      m_pScrollPane(MakePane(QStringLiteral("SCRL"))) {
  // Named for screen readers, the bar and its grip as well as the panes (whose texts name them).
  bar.setAccessibleName(QString::fromUtf8(UiText::kStatusBarName));
  if (auto* grip = bar.findChild<QSizeGrip*>())
    grip->setAccessibleName(QString::fromUtf8(UiText::kSizeGripName));
  bar.addWidget(m_pIdleLabel, 1);
  bar.addPermanentWidget(m_pCapsPane);
  bar.addPermanentWidget(m_pNumPane);
  bar.addPermanentWidget(m_pScrollPane);
  UpdateLockKeys();
}

void CStatusPanes::SetIdleMessage(const QString& text) { m_pIdleLabel->setText(text); }

void CStatusPanes::UpdateLockKeys() {
  const LockKeyState keys = QueryLockKeys(NativeDisplay());
  // A pane keeps its place and shows its text only while its lock is on.
  const auto show = [](QLabel* pane, bool on, const char* text) {
    pane->setText(on ? QString::fromLatin1(text) : QString());
  };
  show(m_pCapsPane, keys.capsLock, "CAP");
  show(m_pNumPane, keys.numLock, "NUM");
  show(m_pScrollPane, keys.scrollLock, "SCRL");
}
