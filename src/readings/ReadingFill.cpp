// Proposals and the one-step write of readings for many entries.
#include "readings/ReadingFill.h"

#include "phonebook/DbPhoneCtrl.h"
#include "readings/ReadingSuggester.h"

std::vector<ReadingProposal> ProposeReadings(const std::vector<PhonebookEntry>& entries,
                                             CReadingSuggester& suggester, bool all,
                                             std::size_t count) {
  std::vector<ReadingProposal> proposals;
  for (const PhonebookEntry& entry : entries) {
    if (entry.name.empty() || (!all && !entry.reading.empty())) continue;
    proposals.push_back({entry.memoryNumber, entry.name, entry.reading,
                         suggester.Suggest(entry.name, count)});
  }
  return proposals;
}

StoreResult ApplyReadings(CDbPhoneCtrl& store, const std::vector<ChosenReading>& chosen) {
  CDbPhoneCtrl::Batch batch(store);
  for (const ChosenReading& choice : chosen) {
    PhonebookEntry entry;  // memory number 0 until found
    if (StoreResult result = store.FindEntry(choice.memoryNumber, entry); result != StoreResult::Ok) return result;
    if (entry.memoryNumber != choice.memoryNumber) continue;  // no such entry: nothing to fill
    entry.reading = choice.reading;
    if (StoreResult result = store.DeleteEntry(choice.memoryNumber); result != StoreResult::Ok) return result;
    if (StoreResult result = store.AddEntry(entry); result != StoreResult::Ok) return result;
  }
  return batch.Commit();
}
