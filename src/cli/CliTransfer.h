// What qvbook-cli download and upload share: the --port and --trace options, a whole
// transfer session
// with Ctrl+C turned into an abort, and the editor's messages for its results.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "cli/CliCommon.h"
#include "comm/TransferSession.h"
#include "platform/InterruptWatch.h"

// Ctrl+C and SIGTERM while a transfer command runs: each one cuts short every wait of
// whatever talks to the handset at that moment (the session, then the restart after an
// upload). Create it before anything starts a thread, after the objects it will watch.
class TransferInterrupt {
 public:
  TransferInterrupt();
  // From now on an interrupt aborts `session`, or cuts `ctrl`'s waits; Interrupted()
  // starts afresh.
  void Watch(CTransferSession& session);
  void Watch(CUtiCtrl& ctrl);
  // An interrupt came since the last Watch.
  bool Interrupted() const;

 private:
  void OnInterrupt();

  mutable std::mutex m_mutex;             // guards the members below
  CTransferSession* m_pSession = nullptr;
  CUtiCtrl* m_pCtrl = nullptr;
  bool m_bInterrupted = false;
  InterruptWatch m_watch;                 // last: its thread starts once the rest is ready
};

struct TransferArgs {
  std::string port;   // --port PATH; empty: QVBOOK_PORT or the search by USB identifier
  std::string file;   // OUT for a download, IN for an upload
  std::string trace;  // --trace FILE; empty: no trace of the link
};

// Parses "[--port PATH] [--trace FILE] FILE" in any order; false on anything else.
bool ParseTransferArgs(const CliArgs& args, TransferArgs& parsed);

// A paragraph that follows the message of every failure of a transfer: string `id` (0:
// none) with "%1" as `argument`.
struct TransferNote {
  int id = 0;
  std::string argument;
};

// Runs one session to its end, with `interrupt` watching it. On success returns kExitOk
// with the session's image in place; otherwise prints the message for the result (with
// `note`) and returns the exit code. A transfer that finished keeps its result, whenever
// an interrupt came after it.
int RunTransfer(CTransferSession& session, TransferInterrupt& interrupt, bool bDownload,
                const std::string& port, const ImageBuilder& buildImage = {},
                const TransferNote& note = {});

// The --trace file of a transfer command: the session's steps and every byte on the link.
class TransferTrace {
 public:
  // Opens `path` (nothing to do when it is empty); false after the message when it cannot
  // be created.
  bool Open(const std::string& path);
  // Says on standard error when the trace could not be written whole.
  ~TransferTrace();
  // Null without --trace.
  const std::shared_ptr<CLinkTrace>& Trace() const { return m_pTrace; }
  void Step(std::string_view text) const {
    if (m_pTrace) m_pTrace->Step(text);
  }

 private:
  std::string m_path;
  std::shared_ptr<CLinkTrace> m_pTrace;
};

// Prints the message for a transfer's result as the editor shows it. `bHandsetAtRisk`:
// the session had told the handset to clear its phonebook for an upload.
void PrintResultMessage(SessionResult result, bool bDownload, bool bHandsetAtRisk = false,
                        const TransferNote& note = {});
