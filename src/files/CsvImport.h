// Importing a comma-separated file into an open phonebook without replacing what it holds.
// Rows keep their memory numbers; a row whose number is in use is overwritten, added under
// another number or skipped as the caller's duplicate resolver answers; rows without a
// number take the lowest free numbers after every numbered row is in.
#pragma once

#include <string>
#include <vector>

#include "phonebook/PhonebookEntry.h"
#include "strings/StringTable.h"

class CDbPhoneCtrl;

// How a row whose memory number is in use is treated.
enum DuplicateMethod : int {
  DuplicateOverwrite = 0,  // the row replaces the stored entry
  DuplicateAddOther = 1,   // the row goes under the lowest free number at the end of the pass
  DuplicateSkip = 2        // the row is left out
};

struct DuplicateChoice {
  int method = DuplicateOverwrite;
  bool continueFlag = false;  // treat every later duplicate of this import the same way
};

// Asked once for each duplicate row until an answer carries the continue flag.
class IDuplicateResolver {
 public:
  virtual ~IDuplicateResolver() = default;
  // `fields`: the row after the field rules (fields 1..5 are its texts when present);
  // `stored`: the entry that holds `memoryNumber`.
  virtual DuplicateChoice ResolveDuplicate(int memoryNumber,
                                           const std::vector<std::string>& fields,
                                           const PhonebookEntry& stored) = 0;
};

// Gives the same answer to every question, for scripts.
class CFixedDuplicateResolver : public IDuplicateResolver {
 public:
  explicit CFixedDuplicateResolver(int method) : m_nMethod(method) {}
  DuplicateChoice ResolveDuplicate(int, const std::vector<std::string>&,
                                   const PhonebookEntry&) override {
    return {m_nMethod, true};
  }

 private:
  int m_nMethod;
};

enum class ImportResult {
  Finished,      // every row was handled (the closing message)
  LimitReached,  // no memory number was free for a row; rows added so far stay
  OpenFailed,    // the file could not be opened; nothing changed
  ReadFailed,    // the file could not be read whole (readError); nothing changed
  StoreFailed    // the rows could not be stored; nothing changed
};

struct ImportSummary {
  ImportResult result = ImportResult::Finished;
  int added = 0;        // entries added, overwriting ones included
  int overwritten = 0;  // stored entries replaced
  int skipped = 0;      // duplicate rows left out by the answer "skip"
  int refused = 0;      // rows the field rules refused (blank lines are no rows)
  int openError = 0;    // errno of the failed opening (OpenFailed)
  int readError = 0;    // errno of the failed read (ReadFailed)
  int storeError = 0;   // errno behind StoreFailed, 0 when unknown
};

// The message that reports an import's result: string-table ids of its caption and text,
// and its icon (failures: error; the limit: warning; the end: none). A read failure's text
// takes the file's path as "%1".
struct ImportResultMessage {
  int captionId;
  int textId;
  MessageIcon icon;
};
ImportResultMessage MessageOfImportResult(ImportResult result);

// Imports the file at `path` into `store` in two passes (numbered rows, then rows without
// a number). After Finished and LimitReached the caller refreshes its views and marks the
// document modified, even when nothing was added; after OpenFailed, ReadFailed and
// StoreFailed the phonebook is as it was before the import.
ImportSummary ImportCsvFile(CDbPhoneCtrl& store, const std::string& path,
                            IDuplicateResolver& resolver);
