// Importing a vCard file into an open phonebook. The whole file is read and checked
// before the phonebook is touched, so a bad file changes nothing; what is held meanwhile
// is the file, one card, and the entry texts of the cards read (bounded by the file size,
// kVcardMaxCards and kVcardMaxCardItems). Should memory still run out, the import ends
// with its own message and changes nothing. Each card becomes an
// entry under the lowest free memory number; a card whose name and first phone number
// equal a stored entry's is a duplicate, overwritten, added or skipped as the caller's
// duplicate resolver answers. The summary says what became of every card.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "files/CsvImport.h"

class CDbPhoneCtrl;

enum class VcardImportResult {
  Finished,      // every card was handled (the closing message and the summary)
  LimitReached,  // some cards found no free memory number (the limit and the summary)
  OpenFailed,    // the file could not be opened or read; nothing changed
  TooLarge,      // larger than kVcardMaxFileBytes; nothing changed
  NotVcard,      // binary data or no cards; nothing changed
  MissingEnd,    // a card without END:VCARD, the file cut off; nothing changed
  Malformed,     // a line that is not a property; nothing changed
  TooManyCards,  // more than kVcardMaxCards; nothing changed
  TooManyItems,  // a card with more than kVcardMaxCardItems; nothing changed
  OutOfMemory,   // memory ran out; nothing changed
  StoreFailed    // a store operation failed; the import is not kept
};

// What became of a card, beyond being added.
enum VcardNote : int {
  NoteDuplicateSkipped,  // a duplicate the resolver answered "skip"
  NoteNoPhone,           // no phone number in any slot: not imported
  NoteNoFreeNumber,      // all 1000 memory numbers in use: not imported
  NoteShortened,         // name, reading or a phone number cut to its limit
  NoteLostCharacters,    // characters code page 932 or the reading cannot hold were left out
  NoteExtraPhones,       // more than three phone numbers: the first three kept
  NoteCount
};

// A card as the summary names it.
struct VcardCardRef {
  int index = 0;     // 1 for the file's first card
  int line = 0;      // of its BEGIN:VCARD
  std::string name;  // code page 932, as imported
};

struct VcardImportSummary {
  VcardImportResult result = VcardImportResult::Finished;
  int errorLine = 0;    // MissingEnd, Malformed, TooManyCards, TooManyItems: the line where it went wrong
  int osError = 0;      // OpenFailed
  int storeError = 0;   // StoreFailed: errno behind it, 0 when unknown
  int added = 0;        // entries made, duplicates overwritten included
  int overwritten = 0;  // stored entries replaced
  std::array<std::vector<VcardCardRef>, NoteCount> notes;
};

VcardImportSummary ImportVcardFile(CDbPhoneCtrl& store, const std::string& path,
                                   IDuplicateResolver& resolver);

// The caption, text and icon that report the import.
ImportResultMessage MessageOfVcardImport(const VcardImportSummary& summary);

// The whole text of that message (UTF-8, "\r\n" line ends): the text with the line and
// the limit filled in and, after an import, the count of each outcome; with
// `listCards`, each count is followed by the cards it counts.
std::string VcardImportMessageText(const VcardImportSummary& summary, bool listCards);
