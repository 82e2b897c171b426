// Blocking steps off the user-interface thread, with the event loop turning meanwhile.
#include "ui/PumpedCall.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <thread>

namespace {

// Drops what the user does while a step runs; everything else (painting, timers, posted
// events, the window manager's pings) goes on. A modal window opened meanwhile (a message
// about another phonebook's transfer) still takes input, or nobody could close it.
class InputBlocker : public QObject {
 public:
  InputBlocker() : m_pModalAtStart(QApplication::activeModalWidget()) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!IsUserInput(event) || InNewModalWindow(watched)) return QObject::eventFilter(watched, event);
    return true;
  }

 private:
  bool InNewModalWindow(QObject* watched) const {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == m_pModalAtStart) return false;
    if (auto* widget = qobject_cast<QWidget*>(watched)) return widget->window() == modal;
    if (auto* window = qobject_cast<QWindow*>(watched)) return window == modal->windowHandle();
    return false;
  }

  static bool IsUserInput(QEvent* event) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::ContextMenu:
      case QEvent::InputMethod:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
      case QEvent::TabletPress:
      case QEvent::TabletRelease:
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop:
        return true;
      case QEvent::Close:
        // The window manager's close box; the program's own closes still pass.
        return event->spontaneous();
      default:
        return false;
    }
  }

  QPointer<QWidget> m_pModalAtStart;  // blocked like every other window
};

}  // namespace

int RunPumped(const std::function<int()>& work) {
  QEventLoop loop;
  InputBlocker blocker;
  qApp->installEventFilter(&blocker);
  int result = 0;
  std::thread worker([&] {
    result = work();
    // Posted, so it takes effect even when it comes before the loop starts.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  qApp->removeEventFilter(&blocker);
  return result;
}
