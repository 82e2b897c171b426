// A phonebook's transfer session, run from the user-interface thread.
#include "doc/DocumentTransfer.h"

#include "doc/CommNotifyPoster.h"
#include "phonebook/DbPhoneCtrl.h"
#include "ui/PumpedCall.h"

namespace {

TransferTiming g_timingForNewDocuments;  // the handset's real pacing unless a test changed it

}  // namespace

void CDocumentTransfer::SetTransferTimingForNewDocuments(const TransferTiming& timing) {
  g_timingForNewDocuments = timing;
}

CDocumentTransfer::CDocumentTransfer(CDbPhoneCtrl& store, QObject* parent)
    : QObject(parent),
      m_store(store),
      m_pPoster(new CCommNotifyPoster(this)),
      m_timing(g_timingForNewDocuments),
      m_pSession(std::make_unique<CTransferSession>(m_timing)) {
  m_pSession->SetObserver(m_pPoster);
}

CDocumentTransfer::~CDocumentTransfer() { EndOnClose(); }

void CDocumentTransfer::RunSessionStep(const std::function<void()>& step) {
  ++m_nSessionSteps;
  emit transferStateChanged();
  RunPumped([&step] {
    step();
    return 0;
  });
  --m_nSessionSteps;
  emit transferStateChanged();
}

SessionResult CDocumentTransfer::StartSession(bool bDownload) {
  if (m_bSessionOpen) return SessionResult::NoThread;  // one session at a time per phonebook
  m_bSessionOpen = true;
  emit transferStateChanged();
  // An upload's image is built here, so that the store is only ever used on this thread;
  // the session's worker takes a copy of it.
  auto image = std::make_unique<PhonebookImage>();
  const StoreResult built = bDownload ? StoreResult::Ok : m_store.BuildImage(*image);
  const ImageBuilder builtImage = [&](PhonebookImage& target) {
    if (built == StoreResult::Ok) target = *image;
    return built;
  };
  SessionResult result = SessionResult::NoThread;
  RunSessionStep([&] { result = m_pSession->StartSession(bDownload, builtImage); });
  return result;
}

void CDocumentTransfer::EndSession() {
  RunSessionStep([this] { m_pSession->EndSession(); });
  if (!m_bSessionOpen) return;
  m_bSessionOpen = false;
  emit transferStateChanged();
}

void CDocumentTransfer::SetNotifyTarget(QObject* view) { m_pPoster->SetTarget(view); }

void CDocumentTransfer::EndOnClose() {
  // No event loop here: the window is going, and nothing may report to it any more.
  m_pPoster->SetTarget(nullptr);
  if (m_bSessionOpen) m_pSession->EndSession();
  m_bSessionOpen = false;
}
