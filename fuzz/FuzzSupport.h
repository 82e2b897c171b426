// Common ground of the fuzz targets: stores over a scratch folder in memory-backed storage,
// the invariants that every stored entry must keep, and a check that stops the run (so the
// fuzzer saves the input) when one breaks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/PhonebookCsv.h"
#include "phonebook/DbPhoneCtrl.h"

#define FUZZ_CHECK(condition)                                                          \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "check failed: %s at %s:%d\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

namespace fuzz {

// A folder for the targets' files, on /dev/shm when there is one; removed at exit.
const std::string& ScratchFolder();

// A long-lived store for one role of a target (`role` tells two stores of a target apart).
CDbPhoneCtrl& Store(int role);

// Every entry of the store in memory-number order; also checks that the table and
// usedFlags agree about which numbers are in use.
std::vector<PhonebookEntry> AllEntries(CDbPhoneCtrl& store);

// Checks what every entry that arrived as text (a document, an import, a paste) must hold:
// a unique number 1..1000, the field widths, the reading and phone character sets, the
// phone numbers upper-cased, a group 1..9.
void CheckTextEntries(const std::vector<PhonebookEntry>& entries);

// Checks that a result is one of the codes NormaliseFields can give.
void CheckNormaliseCode(NormaliseResult code);
// A load ended with one of its known results, never the store or the reading failing.
void CheckLoadResult(const CsvLoadResult& result);

// Writes the store as a document and loads that into `other`: the file must open again
// with every entry under its number, each within the text rules. Returns what was loaded.
std::vector<PhonebookEntry> CheckDocumentRoundTrip(CDbPhoneCtrl& store, CDbPhoneCtrl& other,
                                                   bool comma);

// Checks that `after` holds the entries of `before` unchanged, up to the blanks a reload
// trims from the ends of texts.
void CheckSameEntries(const std::vector<PhonebookEntry>& before,
                      const std::vector<PhonebookEntry>& after);

// Empties the store and adds a few entries whose numbers pasted or imported rows can hit
// (1, 2, 3, 500, 1000); returns them.
std::vector<PhonebookEntry> StartWithSomeEntries(CDbPhoneCtrl& store);

// Checks that every entry of `kept` is in `entries` unchanged.
void CheckEntriesKept(const std::vector<PhonebookEntry>& kept,
                      const std::vector<PhonebookEntry>& entries);

// Writes `bytes` into a file of the scratch folder named `name`; returns its path.
std::string WriteScratchFile(const std::string& name, const uint8_t* bytes, std::size_t size);

// The bytes of a fuzz input as a text.
inline std::string Bytes(const uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace fuzz
