// Shows the wake-up notice (CwaitATOKDialog) for a transfer session whose start runs on
// another thread: the session calls it there, the dialog is made and destroyed on the
// user-interface thread, in the order asked.
#pragma once

#include <QObject>

#include <memory>

#include "comm/TransferObserver.h"

class CwaitATOKDialog;

class CWaitNotice : public QObject, public IWakeNotice {
  Q_OBJECT

 public:
  explicit CWaitNotice(QObject* parent = nullptr);
  ~CWaitNotice() override;

  void ShowWakeNotice() override;
  void HideWakeNotice() override;

  // The notice while it is up (user-interface thread).
  CwaitATOKDialog* Dialog() const { return m_pDialog.get(); }

 signals:
  // After the notice was shown or removed (user-interface thread).
  void noticeChanged(bool shown);

 private:
  std::unique_ptr<CwaitATOKDialog> m_pDialog;
};
