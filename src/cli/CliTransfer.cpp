// One transfer session from the command line.
#include "cli/CliTransfer.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <unistd.h>

#include "cli/PortAccess.h"
#include "comm/PortDiscovery.h"
#include "comm/TransferMessages.h"

namespace {

// Prints the wake-up notice on stderr, where the editor shows its wait dialog.
class WakeLine : public IWakeNotice {
 public:
  void ShowWakeNotice() override { std::fputs("通信準備中．．．\n", stderr); }
  void HideWakeNotice() override {}
};

// Shows the percentage on a terminal; says nothing to a script.
class ProgressLine : public ITransferObserver {
 public:
  ProgressLine() : m_bTerminal(isatty(STDERR_FILENO) == 1) {}
  ~ProgressLine() override {
    if (m_bTerminal && m_nShown >= 0) std::fputc('\n', stderr);
  }
  void OnCommNotify(int kind, int value) override {
    if (kind != NotifyProgress) {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_result = static_cast<SessionResult>(value);
      m_bFinished = true;
      m_cv.notify_all();
      return;
    }
    int percent = std::min(value, static_cast<int>(kImageSize)) / 1200;
    if (m_bTerminal && percent != m_nShown) std::fprintf(stderr, "\r%3d%%", percent);
    m_nShown = percent;
  }
  SessionResult WaitFinished() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return m_bFinished; });
    return m_result;
  }

 private:
  const bool m_bTerminal;
  int m_nShown = -1;
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_bFinished = false;
  SessionResult m_result = SessionResult::BadReply;
};

std::string PortDetail(CTransferSession& session, const std::string& port) {
  int error = session.Controller().LastOpenError();
  std::string device = port;
  if (device.empty()) session.Controller().FindHandsetPort(device);
  std::string path = device.empty() ? "the handset's port" : device;
  if (error == 0) return path + ": cannot be opened";
  if (error == EACCES || error == EPERM)
    return path + ": " + DescribeMissingAccess(GatherPortAccessFacts(device, UdevRuleFolders()));
  std::string detail = path + ": " + OsReason(error);
  if (error == EBUSY) detail += " (held by another program)";
  return detail;
}

}  // namespace

TransferInterrupt::TransferInterrupt() : m_watch([this] { OnInterrupt(); }) {}

void TransferInterrupt::Watch(CTransferSession& session) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_pSession = &session;
  m_pCtrl = nullptr;
  m_bInterrupted = false;
}

void TransferInterrupt::Watch(CUtiCtrl& ctrl) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_pSession = nullptr;
  m_pCtrl = &ctrl;
  m_bInterrupted = false;
  ctrl.InterruptWaits(false);
}

bool TransferInterrupt::Interrupted() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_bInterrupted;
}

void TransferInterrupt::OnInterrupt() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_bInterrupted = true;
  if (m_pSession) m_pSession->Abort();
  if (m_pCtrl) m_pCtrl->InterruptWaits(true);
}

bool ParseTransferArgs(const CliArgs& args, TransferArgs& parsed) {
  CommandLine line;
  if (!SplitCommandLine(args, {{"--port", OptionOnce(parsed.port)}, {"--trace", OptionOnce(parsed.trace)}}, line) ||
      line.operands.size() != 1)
    return false;
  parsed.file = line.operands.front();
  return !parsed.file.empty();
}

bool TransferTrace::Open(const std::string& path) {
  if (path.empty()) return true;
  int error = 0;
  m_path = path;
  m_pTrace = CLinkTrace::Open(path, false, error);
  if (!m_pTrace) std::cerr << "qvbook-cli: " << path << ": " << std::strerror(error) << '\n';
  return m_pTrace != nullptr;
}

TransferTrace::~TransferTrace() {
  if (m_pTrace && !m_pTrace->Good()) std::cerr << "qvbook-cli: " << m_path << ": the trace could not be written whole\n";
}

void PrintResultMessage(SessionResult result, bool bDownload, bool bHandsetAtRisk, const TransferNote& note) {
  const MessageIds ids = WithNote(TransferResultMessage(result, bDownload, bHandsetAtRisk), note.id);
  PrintMessageText(ids.caption, MessageText(ids, note.argument));
}

int RunTransfer(CTransferSession& session, TransferInterrupt& interrupt, bool bDownload,
                const std::string& port, const ImageBuilder& buildImage, const TransferNote& note) {
  WakeLine wakeLine;
  ProgressLine progress;
  session.SetWakeNotice(&wakeLine);
  session.SetObserver(&progress);
  session.SetPortName(port);
  interrupt.Watch(session);

  const SessionResult start = session.StartSession(bDownload, buildImage);
  const SessionResult result = start == SessionResult::Ok ? progress.WaitFinished() : SessionResult::Ok;
  session.EndSession();
  session.SetObserver(nullptr);
  session.SetWakeNotice(nullptr);
  const bool atRisk = session.HandsetPhonebookAtRisk();

  // An interrupt during the start ends it with whatever step it cut short; one during the
  // transfer makes it finish as aborted; one while the session ends changes nothing.
  if (start == SessionResult::Aborted || result == SessionResult::Aborted || (start != SessionResult::Ok && interrupt.Interrupted())) {
    PrintResultMessage(SessionResult::Aborted, bDownload, atRisk, note);
    return kExitInterrupted;
  }
  if (start != SessionResult::Ok) {
    const MessageIds ids = WithNote(StartFailureMessage(start, bDownload, atRisk), note.id);
    std::string detail;
    if (start == SessionResult::PortNotFound)
      detail = "no serial port carries " + std::string(kHandsetId) + "; name one with --port or QVBOOK_PORT";
    if (start == SessionResult::PortUnavailable) detail = PortDetail(session, port);
    PrintMessageText(ids.caption, MessageText(ids, note.argument), detail);
    return start <= SessionResult::PortUnavailable ? kExitUnavailable : kExitTransferFailed;
  }
  if (result != SessionResult::Ok) {
    PrintResultMessage(result, bDownload, atRisk, note);
    return kExitTransferFailed;
  }
  return kExitOk;
}
