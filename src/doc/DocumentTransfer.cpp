// A phonebook's transfer session, run from the user-interface thread.
#include "doc/DocumentTransfer.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

#include "comm/LinkTrace.h"
#include "doc/CommNotifyPoster.h"
#include "phonebook/DbPhoneCtrl.h"
#include "strings/StringIds.h"
#include "ui/PumpedCall.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"

namespace {

TransferTiming g_timingForNewDocuments;  // the handset's real pacing unless a test changed it
std::string g_traceFile;                 // empty: sessions are not traced

// The trace of a session about to start, added to the trace file; null when there is none
// or it cannot be written (the user is told, and the transfer goes on untraced).
std::shared_ptr<CLinkTrace> OpenTrace() {
  if (g_traceFile.empty()) return nullptr;
  const QString path = QFile::decodeName(QByteArray::fromStdString(g_traceFile));
  if (QFileInfo(path).size() > CDocumentTransfer::kTraceFileLimit) {
    QFile::remove(path + QStringLiteral(".old"));
    QFile::rename(path, path + QStringLiteral(".old"));
  }
  int error = 0;
  std::shared_ptr<CLinkTrace> trace = CLinkTrace::Open(g_traceFile, true, error);
  if (!trace) {
    ShowMessage(nullptr, Text(IDS_APP_TITLE),
                Text(IDS_LINK_TRACE_FAILED).arg(path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error))),
                MessageIcon::Warning);
  }
  return trace;
}

}  // namespace

void CDocumentTransfer::SetTraceFile(const std::string& path) { g_traceFile = path; }

const std::string& CDocumentTransfer::TraceFile() { return g_traceFile; }

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
  m_pTrace = OpenTrace();
  m_pSession->SetTrace(m_pTrace);
  SessionResult result = SessionResult::NoThread;
  RunSessionStep([&] { result = m_pSession->StartSession(bDownload, builtImage); });
  return result;
}

void CDocumentTransfer::EndSession() {
  RunSessionStep([this] { m_pSession->EndSession(); });
  StopTrace();
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
  StopTrace();
}

void CDocumentTransfer::StopTrace() {
  if (!m_pTrace) return;
  m_pSession->SetTrace(nullptr);  // the file closes once the line's reader lets it go
  m_pTrace.reset();
}
