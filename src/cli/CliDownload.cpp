// qvbook-cli download [--port PATH] [--trace FILE] OUT: receives the handset's phonebook and saves it as
// a document or an image (by OUT's name), as the editor's download and Save do.
#include "cli/CliCommands.h"
#include "cli/CliTransfer.h"
#include "comm/TransferMessages.h"
#include "files/FailureText.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "strings/StringIds.h"

int RunDownload(const CliArgs& args) {
  TransferArgs parsed;
  if (!ParseTransferArgs(args, parsed)) return kExitUsage;
  TransferTrace trace;
  if (!trace.Open(parsed.trace)) return kExitCannotCreate;
  CTransferSession session;
  session.SetTrace(trace.Trace());
  TransferInterrupt interrupt;  // covers the save too: a finished download is saved whole
  if (int exit = RunTransfer(session, interrupt, true, parsed.port); exit != kExitOk) return exit;
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (LoadPhonebookImage(session.Image(), store) != StoreResult::Ok) {  // nothing is written
    const MessageIds ids = TransferResultMessage(SessionResult::BadReply, true);
    PrintMessage(ids.caption, ids.text, {}, StoreFailureDetail(store, store.LastOsError()));
    return kExitWriteFailed;
  }
  if (int exit = SavePhonebookFile(store, parsed.file); exit != kExitOk) return exit;
  PrintResultMessage(SessionResult::Ok, true);
  return kExitOk;
}
