// Fuzzes the vCard import into a phonebook that already holds entries. The first byte
// picks the fixed answer to every duplicate (overwrite, add under another number, skip),
// the rest is the file. A refused file must change nothing; an imported one must keep the
// field rules, touch stored entries only when told to overwrite them, count what it did,
// leave a phonebook that saves and opens again, and export as cards that read back as the
// same entries in both vCard versions.
#include "FuzzSupport.h"

#include <algorithm>
#include <iterator>

#include "files/VcardEntry.h"
#include "files/VcardImport.h"
#include "files/VcardReader.h"
#include "files/VcardWriter.h"
#include "phonebook/EntryRules.h"

namespace {

// Each entry written as a card and read back gives the same texts. (No entries make an
// empty file, which an import refuses as holding no card.)
void CheckExportReadsBack(const std::vector<PhonebookEntry>& entries, VcardVersion version) {
  if (entries.empty()) return;
  const VcardParseResult parsed = ParseVcards(BuildVcards(entries, version));
  FUZZ_CHECK(parsed.status == VcardParseResult::Ok && parsed.cards.size() == entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::vector<std::string> fields = EntryTextsOfCard(parsed.cards[i]).fields;
    fields[FieldMemoryNumber] = std::to_string(entries[i].memoryNumber);
    FUZZ_CHECK(NormaliseFields(fields, UsedFlags{}) == NormaliseResult::Ok);
    FUZZ_CHECK(EntryFromFields(fields) == entries[i]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto method = static_cast<DuplicateMethod>(data[0] % 3);
  const std::string path = fuzz::WriteScratchFile("contacts.vcf", data + 1, size - 1);
  CDbPhoneCtrl& store = fuzz::Store(0);
  const std::vector<PhonebookEntry> before = fuzz::StartWithSomeEntries(store);

  CFixedDuplicateResolver resolver(method);
  const ImportSummary summary = ImportVcardFile(store, path, resolver);
  const std::vector<PhonebookEntry> after = fuzz::AllEntries(store);
  FUZZ_CHECK(summary.result != ImportResult::OpenFailed && summary.result != ImportResult::TooLarge &&
             summary.result != ImportResult::StoreFailed);
  if (summary.result != ImportResult::Finished && summary.result != ImportResult::LimitReached) {
    FUZZ_CHECK(after == before);
    return 0;
  }
  FUZZ_CHECK(summary.overwritten >= 0 && summary.overwritten <= summary.added);
  if (method != DuplicateMethod::Overwrite) FUZZ_CHECK(summary.overwritten == 0);
  if (method != DuplicateMethod::Skip) FUZZ_CHECK(summary.notes[NoteDuplicateSkipped].empty());
  FUZZ_CHECK(after.size() == before.size() + summary.added - summary.overwritten);
  if (method != DuplicateMethod::Overwrite) fuzz::CheckEntriesKept(before, after);

  std::vector<PhonebookEntry> brought;  // the entries the import made
  std::copy_if(after.begin(), after.end(), std::back_inserter(brought), [&before](const PhonebookEntry& entry) {
    return std::find(before.begin(), before.end(), entry) == before.end();
  });
  fuzz::CheckTextEntries(brought);
  CheckExportReadsBack(brought, VcardVersion::V30);
  CheckExportReadsBack(brought, VcardVersion::V21);
  fuzz::CheckSameEntries(after, fuzz::CheckDocumentRoundTrip(store, fuzz::Store(1), true));
  return 0;
}
