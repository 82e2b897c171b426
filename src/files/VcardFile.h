// vCard files on disk: which paths are vCard files, reading one whole within a size
// limit, and exporting a phonebook (or some of its entries) into one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/VcardWriter.h"
#include "phonebook/StoreResult.h"

class CDbPhoneCtrl;

// The largest vCard file read. 1000 cards with photos stay well below it; a larger file
// is refused before it is read.
inline constexpr long long kVcardMaxFileBytes = 64LL * 1024 * 1024;

// True when the path ends in ".vcf", in any case (phones write ".VCF").
bool IsVcardPath(std::string_view path);

struct VcardFileBytes {
  enum class Status {
    Ok,
    CannotRead,  // missing, unreadable or not a regular file; osError says why
    TooLarge     // more than kVcardMaxFileBytes
  };
  using enum Status;
  Status status = Ok;
  int osError = 0;
  std::string bytes;
};

VcardFileBytes ReadVcardFile(const std::string& path);

struct VcardExportResult {
  enum class Status {
    Ok,
    StoreFailed,  // the store could not be read (storeCode); nothing was written
    WriteFailed   // osError says why; a previous file is left as it was
  };
  using enum Status;
  Status status = Ok;
  int osError = 0;
  StoreResult storeCode = StoreResult::Ok;
};

// Writes the entries with the memory numbers `selected` (every entry when empty) to
// `path` in memory-number order, replacing a previous file only when all was written.
VcardExportResult ExportVcardFile(CDbPhoneCtrl& store, const std::string& path, VcardVersion version,
                                  const std::vector<int>& selected = {});
