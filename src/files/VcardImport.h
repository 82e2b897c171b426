// Importing a vCard file into an open phonebook. The whole file is read and checked
// before the phonebook is touched, so a bad file changes nothing; what is held meanwhile
// is the file, one card, and the entry texts of the cards read (bounded by the file size,
// kVcardMaxCards and kVcardMaxCardItems). Should memory still run out, the import ends
// with its own message and changes nothing. Each card becomes an
// entry under the lowest free memory number; a card whose name and first phone number
// equal a stored entry's is a duplicate, overwritten, added or skipped as the caller's
// duplicate resolver answers. The summary says what became of every card.
#pragma once

#include <string>

#include "files/DuplicateAnswers.h"
#include "files/ImportSummary.h"

class CDbPhoneCtrl;

ImportSummary ImportVcardFile(CDbPhoneCtrl& store, const std::string& path,
                              IDuplicateResolver& resolver);
