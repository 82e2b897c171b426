// One transfer session from the command line.
#include "cli/CliTransfer.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
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
      m_nResult = value;
      m_bFinished = true;
      m_cv.notify_all();
      return;
    }
    int percent = std::min(value, static_cast<int>(kImageSize)) / 1200;
    if (m_bTerminal && percent != m_nShown) std::fprintf(stderr, "\r%3d%%", percent);
    m_nShown = percent;
  }
  int WaitFinished() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return m_bFinished; });
    return m_nResult;
  }

 private:
  const bool m_bTerminal;
  int m_nShown = -1;
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_bFinished = false;
  int m_nResult = -1;
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
  if (!SplitCommandLine(args, {"--port"}, line) || line.operands.size() != 1 || line.options.size() > 1)
    return false;
  if (!line.options.empty()) parsed.port = line.options.front().second;
  parsed.file = line.operands.front();
  return !parsed.file.empty() && (line.options.empty() || !parsed.port.empty());
}

void PrintResultMessage(int result, bool bDownload, bool bHandsetAtRisk, const TransferNote& note) {
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

  int start = session.StartSession(bDownload, buildImage);
  int result = start == SessionOk ? progress.WaitFinished() : SessionOk;
  session.EndSession();
  session.SetObserver(nullptr);
  session.SetWakeNotice(nullptr);
  const bool atRisk = session.HandsetPhonebookAtRisk();

  // An interrupt during the start ends it with whatever step it cut short; one during the
  // transfer makes it finish as aborted; one while the session ends changes nothing.
  if (start == SessionAborted || result == SessionAborted || (start != SessionOk && interrupt.Interrupted())) {
    PrintResultMessage(SessionAborted, bDownload, atRisk, note);
    return kExitInterrupted;
  }
  if (start != SessionOk) {
    const MessageIds ids = WithNote(StartFailureMessage(start, bDownload, atRisk), note.id);
    std::string detail;
    if (start == SessionPortNotFound)
      detail = "no serial port carries " + std::string(kHandsetId) + "; name one with --port or QVBOOK_PORT";
    if (start == SessionPortUnavailable) detail = PortDetail(session, port);
    PrintMessageText(ids.caption, MessageText(ids, note.argument), detail);
    return start <= SessionPortUnavailable ? kExitUnavailable : kExitTransferFailed;
  }
  if (result != SessionOk) {
    PrintResultMessage(result, bDownload, atRisk, note);
    return kExitTransferFailed;
  }
  return kExitOk;
}
