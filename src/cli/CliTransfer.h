// What qvbook-cli download and upload share: the --port option, a whole transfer session
// with Ctrl+C turned into an abort, and the editor's messages for its results.
#pragma once

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
  std::string port;  // --port PATH; empty: QVBOOK_PORT or the search by USB identifier
  std::string file;  // OUT for a download, IN for an upload
};

// Parses "[--port PATH] FILE" in any order; false on anything else.
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

// Prints the message for a transfer's result as the editor shows it. `bHandsetAtRisk`:
// the session had told the handset to clear its phonebook for an upload.
void PrintResultMessage(int result, bool bDownload, bool bHandsetAtRisk = false,
                        const TransferNote& note = {});
