// A phonebook's document text: loading a store from it and saving a store as it, seven
// fields per line, comma or tab separated.
#pragma once

#include "phonebook/EntryRules.h"
#include "phonebook/StoreResult.h"

class CArchiveReader;
class CArchiveWriter;
class CDbPhoneCtrl;

struct CsvLoadResult {
  enum class Status {
    Ok,
    NotPhonebook,  // a row is not a phonebook's (row says why); the entries before it stay
    StoreFailed,   // the entries could not be stored: the store holds nothing of the file
    ReadFailed     // the document could not be read whole: the store holds nothing of it
  };
  using enum Status;
  Status status = Ok;
  NormaliseResult row = NormaliseResult::Ok;  // NotPhonebook: the first such row's code
};

// Adds the document's entries to `store`, in the standard layout and, after a marker row,
// in the name-first and group-first layouts of other programs' exports.
[[nodiscard]] CsvLoadResult LoadCsv(CDbPhoneCtrl& store, CArchiveReader& archive, bool comma);

// Writes every entry of `store` in the standard layout; the store's result.
StoreResult SaveCsv(CDbPhoneCtrl& store, CArchiveWriter& archive, bool comma);
