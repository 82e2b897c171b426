// What an import did, whether its rows came from a comma-separated file, a vCard file or
// the clipboard, and the one message that reports it: its caption, text and icon, the
// counts, and for a vCard file the cards each count names.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "strings/StringTable.h"

enum class ImportSource { Csv, Vcard, Paste };

enum class ImportResult {
  Finished,      // every row was handled
  LimitReached,  // no memory number was left for some rows; the rows added stay
  OpenFailed,    // the file could not be opened (a vCard file: or read); nothing changed
  ReadFailed,    // the file could not be read whole; nothing changed
  StoreFailed,   // the rows could not be stored; nothing changed
  // A vCard file refused; nothing changed:
  TooLarge,      // larger than kVcardMaxFileBytes
  NotVcard,      // binary data or no cards
  MissingEnd,    // a card without END:VCARD, the file cut off
  Malformed,     // a line that is not a property
  TooManyCards,  // more than kVcardMaxCards
  TooManyItems,  // a card with more than kVcardMaxCardItems
  OutOfMemory,   // memory ran out
  Refused        // a paste of no lines, or of lines without this program's header
};

// What became of a vCard card, beyond being added.
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

struct ImportSummary {
  ImportSource source = ImportSource::Csv;
  ImportResult result = ImportResult::Finished;
  int added = 0;        // entries added, overwriting ones included
  int overwritten = 0;  // stored entries replaced
  int skipped = 0;      // duplicates left out by the answer "skip"
  int refused = 0;      // rows the field rules refused (blank lines are no rows)
  int osError = 0;      // OpenFailed, ReadFailed: errno
  int storeError = 0;   // StoreFailed: errno behind it, 0 when unknown
  int errorLine = 0;    // MissingEnd, Malformed, TooManyCards, TooManyItems: where it went wrong
  std::array<std::vector<VcardCardRef>, NoteCount> notes;  // vCard files only
};

// An import that ended Finished or LimitReached changed the phonebook (even when it added
// nothing): the caller refreshes its views and marks the document modified. After any
// other result the phonebook is as it was.
bool ImportKeptRows(const ImportSummary& summary);

// The message that reports an import: string-table ids of its caption and its first
// paragraph (0: none, as after a paste that went as asked), and its icon.
struct ImportMessage {
  int captionId;
  int textId;
  MessageIcon icon;
};
ImportMessage MessageOfImport(const ImportSummary& summary);

// The message's whole text (UTF-8, "\r\n" line ends): its first paragraph with the line
// and the limit filled in, then the rows not read, or for a vCard file the count of each
// outcome; with `listCards`, each count is followed by the cards it counts. Empty when
// there is nothing to say.
std::string ImportMessageText(const ImportSummary& summary, bool listCards);
