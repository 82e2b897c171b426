// Posting a transfer's notifications to the view.
#include "doc/CommNotifyPoster.h"

#include <QCoreApplication>

#include "doc/CommNotify.h"

void CCommNotifyPoster::OnCommNotify(int kind, int value) {
  QCoreApplication::postEvent(this, new CommNotifyEvent(kind, value));
}

bool CCommNotifyPoster::event(QEvent* event) {
  if (event->type() != WM_COMM_NOTIFY) return QObject::event(event);
  if (m_pTarget) QCoreApplication::sendEvent(m_pTarget, event);
  return true;
}
