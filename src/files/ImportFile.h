// The import of a file into an open phonebook, whichever kind it is: a vCard file (its
// name ends in ".vcf") or a comma-separated one. The editor and the CLI both come here.
#pragma once

#include <string>

#include "files/DuplicateAnswers.h"
#include "files/ImportSummary.h"

class CDbPhoneCtrl;

ImportSummary ImportFile(CDbPhoneCtrl& store, const std::string& path, IDuplicateResolver& resolver);
