// Fuzzes pasting clipboard text into a phonebook that already holds entries. The paste
// must leave stored entries as they were, add each pasted row under a number that was
// free, keep the field rules, and the pasted entries copied again must paste into an
// empty phonebook unchanged.
#include "FuzzSupport.h"

#include <algorithm>

#include "files/ClipboardText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  CDbPhoneCtrl& store = fuzz::Store(0);
  const std::vector<PhonebookEntry> before = fuzz::StartWithSomeEntries(store);
  const PasteOutcome outcome =
      PasteClipboardLines(store, SplitClipboardLines(fuzz::Bytes(data, size)));
  const std::vector<PhonebookEntry> after = fuzz::AllEntries(store);
  fuzz::CheckEntriesKept(before, after);
  FUZZ_CHECK(after.size() == before.size() + outcome.pastedNumbers.size());
  if (outcome.summary.result == ImportResult::Refused) FUZZ_CHECK(outcome.pastedNumbers.empty());

  std::vector<PhonebookEntry> pasted;
  std::vector<std::vector<std::string>> rows;
  for (const std::string& text : outcome.pastedNumbers) {
    const int number = std::stoi(text);
    FUZZ_CHECK(number >= 1 && number <= kMaxEntries);
    for (const PhonebookEntry& b : before) FUZZ_CHECK(b.memoryNumber != number);
    PhonebookEntry entry;
    FUZZ_CHECK(store.FindEntry(number, entry) == StoreResult::Ok && entry.memoryNumber == number);
    pasted.push_back(entry);
    const auto texts = EntryToTexts(entry);
    rows.emplace_back(texts.begin(), texts.end());
  }
  fuzz::CheckTextEntries(pasted);

  // Copy the pasted entries and paste them into an empty phonebook: nothing changes.
  CDbPhoneCtrl& other = fuzz::Store(1);
  FUZZ_CHECK(other.DeleteAll() == StoreResult::Ok);
  const PasteOutcome again =
      PasteClipboardLines(other, SplitClipboardLines(BuildClipboardText({}, rows)));
  FUZZ_CHECK(again.summary.result != ImportResult::Refused);
  std::sort(pasted.begin(), pasted.end(),
            [](const PhonebookEntry& a, const PhonebookEntry& b) { return a.memoryNumber < b.memoryNumber; });
  fuzz::CheckSameEntries(pasted, fuzz::AllEntries(other));
  return 0;
}
