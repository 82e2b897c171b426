// qvbook-cli convert IN OUT: reads a document or handset image and writes it as a document
// or image, each side chosen by its ".bin" ending. A document is written byte for byte as
// the editor's Save writes it.
#include "cli/CliCommands.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"

int RunConvert(const CliArgs& args) {
  if (args.size() != 2) return kExitUsage;
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (int exit = LoadPhonebookFile(store, args[0]); exit != kExitOk) return exit;
  return SavePhonebookFile(store, args[1]);
}
