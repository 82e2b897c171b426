// Replaying a store's change notes.
#include "phonebook/StoreChangeLog.h"

#include <map>

#include "phonebook/DbPhoneCtrl.h"

namespace {

ReplayResult Written(StoreResult storeResult) {
  return storeResult == StoreResult::Ok ? ReplayResult::Replayed : ReplayResult::StoreFailed;
}

// Takes out `entry` when the store holds exactly that entry under its number.
ReplayResult Remove(CDbPhoneCtrl& store, const PhonebookEntry& entry) {
  const int number = entry.memoryNumber;
  if (number < 1 || number > kMaxEntries || !store.usedFlags()[number - 1])
    return ReplayResult::OutOfStep;
  PhonebookEntry stored;
  if (store.FindEntry(number, stored) != StoreResult::Ok) return ReplayResult::StoreFailed;
  if (!(stored == entry)) return ReplayResult::OutOfStep;
  return Written(store.DeleteEntry(number));
}

// Puts `entry` in when its number is free.
ReplayResult Add(CDbPhoneCtrl& store, const PhonebookEntry& entry) {
  const int number = entry.memoryNumber;
  if (number < 1 || number > kMaxEntries || store.usedFlags()[number - 1])
    return ReplayResult::OutOfStep;
  return Written(store.AddEntry(entry));
}

// Calls `visit(change, comesIn)` for each change in the order a replay makes them, until
// `visit` returns false. Backwards, what came in goes out and what went out comes in.
template <typename Visit>
bool ForEachReplayed(const StoreChangeLog& log, bool backwards, Visit visit) {
  const std::size_t count = log.size();
  for (std::size_t i = 0; i < count; ++i) {
    const StoreChange& change = log[backwards ? count - 1 - i : i];
    if (!visit(change, change.added != backwards)) return false;
  }
  return true;
}

}  // namespace

ReplayResult ReplayChanges(CDbPhoneCtrl& store, const StoreChangeLog& log, bool backwards) {
  CDbPhoneCtrl::Batch batch(store);
  ReplayResult result = ReplayResult::Replayed;
  ForEachReplayed(log, backwards, [&](const StoreChange& change, bool comesIn) {
    result = comesIn ? Add(store, change.entry) : Remove(store, change.entry);
    return result == ReplayResult::Replayed;
  });
  if (result != ReplayResult::Replayed) return result;  // the batch ends undone
  return Written(batch.Commit());
}

std::vector<PhonebookEntry> EntriesBroughtIn(const StoreChangeLog& log, bool backwards) {
  std::map<int, const StoreChange*> last;  // number -> the replay's last change to it
  ForEachReplayed(log, backwards, [&](const StoreChange& change, bool comesIn) {
    last[change.entry.memoryNumber] = comesIn ? &change : nullptr;
    return true;
  });
  std::vector<PhonebookEntry> entries;
  for (const auto& [number, change] : last)
    if (change) entries.push_back(change->entry);
  return entries;
}
