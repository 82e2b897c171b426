// Fuzzes the CSV import into a phonebook that already holds entries. The first byte picks
// the fixed answer to every duplicate (overwrite, add under another number, skip), the
// rest is the file. The import must finish, keep the field rules, touch stored entries
// only when told to overwrite them, count what it did, and leave a phonebook that saves
// and opens again.
#include "FuzzSupport.h"

#include "files/CsvImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto method = static_cast<DuplicateMethod>(data[0] % 3);
  const std::string path = fuzz::WriteScratchFile("import.csv", data + 1, size - 1);
  CDbPhoneCtrl& store = fuzz::Store(0);
  const std::vector<PhonebookEntry> before = fuzz::StartWithSomeEntries(store);

  CFixedDuplicateResolver resolver(method);
  const ImportSummary summary = ImportCsvFile(store, path, resolver);
  FUZZ_CHECK(summary.result != ImportResult::OpenFailed);
  FUZZ_CHECK(summary.added >= 0 && summary.overwritten >= 0 && summary.skipped >= 0 &&
             summary.refused >= 0 && summary.overwritten <= summary.added);
  if (method != DuplicateMethod::Overwrite) FUZZ_CHECK(summary.overwritten == 0);
  if (method != DuplicateMethod::Skip) FUZZ_CHECK(summary.skipped == 0);

  const std::vector<PhonebookEntry> after = fuzz::AllEntries(store);
  FUZZ_CHECK(after.size() == before.size() + summary.added - summary.overwritten);
  if (method != DuplicateMethod::Overwrite) fuzz::CheckEntriesKept(before, after);
  // The entries the import brought in keep the rules (the starting ones are ours).
  std::vector<PhonebookEntry> brought;
  for (const PhonebookEntry& entry : after) {
    bool old = false;
    for (const PhonebookEntry& b : before) old = old || b == entry;
    if (!old) brought.push_back(entry);
  }
  fuzz::CheckTextEntries(brought);
  fuzz::CheckSameEntries(after, fuzz::CheckDocumentRoundTrip(store, fuzz::Store(1), true));
  return 0;
}
