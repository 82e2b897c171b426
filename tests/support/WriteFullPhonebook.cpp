// Writes FullPhonebook() as a phonebook document (code page 932, comma or tab by the
// ".csv" rule), through the same store and save as the editor's.
// usage: write_full_phonebook OUT
#include <cstdio>

#include "files/DocumentFile.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "support/FullPhonebook.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_full_phonebook OUT\n");
    return 64;
  }
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  CDbPhoneCtrl::Batch batch(store);
  for (const PhonebookEntry& entry : FullPhonebook()) {
    if (store.AddEntry(entry) != StoreResult::Ok) {
      std::fprintf(stderr, "write_full_phonebook: entry %d was not stored\n", entry.memoryNumber);
      return 1;
    }
  }
  if (batch.Commit() != StoreResult::Ok) {
    std::fprintf(stderr, "write_full_phonebook: the entries were not stored\n");
    return 1;
  }
  if (SaveDocument(store, argv[1]).status != DocumentSaveResult::Ok) {
    std::fprintf(stderr, "write_full_phonebook: %s could not be written\n", argv[1]);
    return 74;
  }
  return 0;
}
