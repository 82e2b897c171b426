// What a store's kept writes changed, entry by entry: each entry that went out and each
// that came in, in the order the writes happened. Replayed backwards the notes take those
// writes back; replayed forwards they do them again. The editor's undo history keeps one
// log per step instead of a copy of the phonebook.
#pragma once

#include <vector>

#include "phonebook/PhonebookEntry.h"

class CDbPhoneCtrl;

struct StoreChange {
  bool added = false;    // true: the entry came in; false: it went out
  PhonebookEntry entry;  // the whole entry, as stored
};

using StoreChangeLog = std::vector<StoreChange>;

enum class ReplayResult {
  Replayed,      // every change was made, in one committed batch
  StoreFailed,   // the store could not write (its LastOsError says why); nothing changed
  OutOfStep      // the store no longer holds what the log expects; nothing changed
};

// Replays `log` on `store` in one batch, backwards (each entry that came in goes out, each
// that went out comes back, last change first) or forwards (as the log happened). Before
// each change the store must hold the entry that is to go, exactly, and no entry under the
// number that is to come in; otherwise nothing is changed. The store's own change log, if
// one is set, notes the replay like any other write.
ReplayResult ReplayChanges(CDbPhoneCtrl& store, const StoreChangeLog& log, bool backwards);

// The entries a replay brings in and leaves in the store (one that comes in and goes out
// again within the log is not among them), by memory number.
std::vector<PhonebookEntry> EntriesBroughtIn(const StoreChangeLog& log, bool backwards);
