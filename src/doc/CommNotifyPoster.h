// Carries a transfer session's notifications from its transfer thread to the phonebook's
// view as posted WM_COMM_NOTIFY events. The transfer thread only posts to this object;
// on the user-interface thread it hands each event to the view, or drops it when the
// view has gone.
#pragma once

#include <QObject>
#include <QPointer>

#include "comm/TransferObserver.h"

class CCommNotifyPoster : public QObject, public ITransferObserver {
  Q_OBJECT

 public:
  explicit CCommNotifyPoster(QObject* parent = nullptr) : QObject(parent) {}

  // The view that receives the events; null drops them. User-interface thread only.
  void SetTarget(QObject* target) { m_pTarget = target; }

  // Transfer thread: posts, never touches a widget.
  void OnCommNotify(int kind, int value) override;

 protected:
  bool event(QEvent* event) override;

 private:
  QPointer<QObject> m_pTarget;
};
