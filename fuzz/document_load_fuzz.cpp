// Fuzzes opening a phonebook document: the first byte picks the delimiter (even: comma,
// odd: tab), the rest is the file. Whatever the file holds, the load ends with a known
// code, the stored entries keep the field rules, and a file saved from an accepted
// document opens again with the same entries.
#include "FuzzSupport.h"

#include "files/MemoryArchiveReader.h"
#include "files/PhonebookCsv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool comma = (data[0] & 1) == 0;
  CDbPhoneCtrl& store = fuzz::Store(0);
  FUZZ_CHECK(store.DeleteAll() == StoreResult::Ok);
  CMemoryArchiveReader archive(fuzz::Bytes(data + 1, size - 1));
  const CsvLoadResult result = LoadCsv(store, archive, comma);
  fuzz::CheckLoadResult(result);
  const std::vector<PhonebookEntry> loaded = fuzz::AllEntries(store);
  fuzz::CheckTextEntries(loaded);
  if (result.status == CsvLoadResult::Ok) {
    fuzz::CheckSameEntries(loaded, fuzz::CheckDocumentRoundTrip(store, fuzz::Store(1), comma));
  }
  return 0;
}
