// The event the transfer thread posts to a phonebook's view: progress and the result of a
// download or upload. Posted with QCoreApplication::postEvent, handled on the UI thread.
#pragma once

#include <QEvent>

#include "comm/TransferObserver.h"

// WM_APP + 100. wParam: a CommNotifyKind; lParam: the session's result code (download or
// upload finished) or the bytes moved so far, 0..120000 (progress).
inline constexpr QEvent::Type WM_COMM_NOTIFY = static_cast<QEvent::Type>(0x8064);

class CommNotifyEvent : public QEvent {
 public:
  CommNotifyEvent(int wParam, long lParam) : QEvent(WM_COMM_NOTIFY), m_wParam(wParam), m_lParam(lParam) {}
  int wParam() const { return m_wParam; }
  long lParam() const { return m_lParam; }

 private:
  int m_wParam;   // CommNotifyKind
  long m_lParam;  // result code or byte count
};
