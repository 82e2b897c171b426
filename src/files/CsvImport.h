// Importing a comma-separated file into an open phonebook without replacing what it holds.
// Rows keep their memory numbers; a row whose number is in use is overwritten, added under
// another number or skipped as the caller's duplicate resolver answers; rows without a
// number take the lowest free numbers after every numbered row is in.
#pragma once

#include <string>

#include "files/DuplicateAnswers.h"
#include "files/ImportSummary.h"

class CDbPhoneCtrl;

// Imports the file at `path` into `store` in two passes (numbered rows, then rows without
// a number), all in one batch: after OpenFailed, ReadFailed and StoreFailed the phonebook
// is as it was before the import.
ImportSummary ImportCsvFile(CDbPhoneCtrl& store, const std::string& path,
                            IDuplicateResolver& resolver);
