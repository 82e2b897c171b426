// A file's import, by the file's kind.
#include "files/ImportFile.h"

#include "files/CsvImport.h"
#include "files/VcardFile.h"
#include "files/VcardImport.h"

ImportSummary ImportFile(CDbPhoneCtrl& store, const std::string& path, IDuplicateResolver& resolver) {
  return IsVcardPath(path) ? ImportVcardFile(store, path, resolver) : ImportCsvFile(store, path, resolver);
}
