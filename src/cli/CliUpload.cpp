// qvbook-cli upload [--port PATH] [--trace FILE] IN: sends a document's (or image's) phonebook to the
// handset and restarts it, as the editor's upload does.
#include "cli/CliCommands.h"
#include "cli/CliTransfer.h"
#include "comm/RestartHandset.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "strings/StringIds.h"

int RunUpload(const CliArgs& args) {
  TransferArgs parsed;
  if (!ParseTransferArgs(args, parsed)) return kExitUsage;
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (int exit = LoadPhonebookFile(store, parsed.file); exit != kExitOk) return exit;
  if (store.EntryCount() == 0) {  // the editor refuses to wipe the handset's phonebook
    PrintMessage(IDS_NO_ENTRIES_CAPTION, IDS_NO_ENTRIES);
    return kExitInvalidPhonebook;
  }
  TransferTrace trace;
  if (!trace.Open(parsed.trace)) return kExitCannotCreate;
  CTransferSession session;
  CUtiCtrl restart;
  session.SetTrace(trace.Trace());
  restart.SetTrace(trace.Trace());
  TransferInterrupt interrupt;
  auto build = [&store](PhonebookImage& image) { return store.BuildImage(image); };
  if (int exit = RunTransfer(session, interrupt, false, parsed.port, build); exit != kExitOk) return exit;
  PrintResultMessage(SessionResult::Ok, false);
  // The handset holds the new image: it restarts unless the user interrupts the restart.
  interrupt.Watch(restart);
  trace.Step("restart the handset");
  RestartHandset(restart, parsed.port);
  return interrupt.Interrupted() ? kExitInterrupted : kExitOk;
}
