// What an upload changes on the handset: its phonebook now against the one the upload
// leaves there, entry by entry by memory number, and the counts the preview shows.
#pragma once

#include <string>
#include <vector>

#include "phonebook/PhonebookEntry.h"

// The fields of an entry that can change, as bits.
enum ChangedField : unsigned {
  ChangedName = 1u << 0,
  ChangedReading = 1u << 1,
  ChangedPhone1 = 1u << 2,
  ChangedPhone2 = 1u << 3,
  ChangedPhone3 = 1u << 4,
  ChangedGroup = 1u << 5
};

struct EntryChange {
  PhonebookEntry before;  // on the handset now
  PhonebookEntry after;   // after the upload
  unsigned fields = 0;    // ChangedField bits
};

struct PhonebookChanges {
  std::vector<PhonebookEntry> added;    // memory numbers the handset does not have yet
  std::vector<EntryChange> changed;     // the same number with other contents
  std::vector<PhonebookEntry> removed;  // numbers the upload leaves empty
  int unchanged = 0;
  int entriesBefore = 0;                // on the handset now
  int entriesAfter = 0;                 // after the upload

  // More than half of the handset's entries go: the preview then defaults to Cancel.
  bool RemovesMostEntries() const { return removed.size() * 2 > static_cast<std::size_t>(entriesBefore); }
};

// Both lists as the handset holds them (ImageEntries of its image and of the upload's).
PhonebookChanges ComparePhonebooks(const std::vector<PhonebookEntry>& handset,
                                   const std::vector<PhonebookEntry>& upload);

// The fields that `fields` names, as the entry dialog calls them, joined by "・".
std::string ChangedFieldNames(unsigned fields);
// The texts (code page 932) of those fields of `entry`, joined by " / ".
std::string ChangedFieldTexts(const PhonebookEntry& entry, unsigned fields);

// The preview's summary: what the handset holds now, then a line per count (UTF-8, "\r\n").
std::string ChangeSummaryText(const PhonebookChanges& changes);
