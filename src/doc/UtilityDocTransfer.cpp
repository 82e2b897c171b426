// The transfer session of a phonebook: its start (with the wake-up notice), its end, the
// abort signal, and where its notifications go. The blocking parts run off the
// user-interface thread so that the editor keeps painting and answering the desktop.
#include "doc/UtilityDoc.h"

#include "doc/CommNotifyPoster.h"
#include "ui/PumpedCall.h"

namespace {

TransferTiming g_timingForNewDocuments;  // the handset's real pacing unless a test changed it

}  // namespace

void CUtilityDoc::SetTransferTimingForNewDocuments(const TransferTiming& timing) {
  g_timingForNewDocuments = timing;
}

TransferTiming CUtilityDoc::TimingForNewDocuments() { return g_timingForNewDocuments; }

void CUtilityDoc::RunSessionStep(const std::function<void()>& step) {
  ++m_nSessionSteps;
  emit transferStateChanged();
  RunPumped([&step] {
    step();
    return 0;
  });
  --m_nSessionSteps;
  emit transferStateChanged();
}

SessionResult CUtilityDoc::StartSession(bool bDownload) {
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

void CUtilityDoc::EndSession() {
  RunSessionStep([this] { m_pSession->EndSession(); });
  if (!m_bSessionOpen) return;
  m_bSessionOpen = false;
  emit transferStateChanged();
}

void CUtilityDoc::AbortTransfer() { m_pSession->Abort(); }

void CUtilityDoc::SetNotifyTarget(QObject* view) { m_pPoster->SetTarget(view); }

void CUtilityDoc::SetWakeNotice(IWakeNotice* notice) { m_pSession->SetWakeNotice(notice); }

void CUtilityDoc::OnCloseDocument() {
  EndTransferOnClose();
  emit documentClosing();
}

void CUtilityDoc::EndTransferOnClose() {
  // No event loop here: the window is going, and nothing may report to it any more.
  m_pPoster->SetTarget(nullptr);
  if (m_bSessionOpen) m_pSession->EndSession();
  m_bSessionOpen = false;
}
