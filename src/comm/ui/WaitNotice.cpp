// The wake-up notice, on the user-interface thread whoever asks for it.
#include "comm/ui/WaitNotice.h"

#include "comm/ui/WaitATOKDialog.h"

CWaitNotice::CWaitNotice(QObject* parent) : QObject(parent) {}

CWaitNotice::~CWaitNotice() = default;

void CWaitNotice::ShowWakeNotice() {
  // Direct on this object's thread, queued from any other.
  QMetaObject::invokeMethod(this, [this] {
    m_pDialog = std::make_unique<CwaitATOKDialog>();
    m_pDialog->Create();
    emit noticeChanged(true);
  });
}

void CWaitNotice::HideWakeNotice() {
  QMetaObject::invokeMethod(this, [this] {
    m_pDialog.reset();
    emit noticeChanged(false);
  });
}
