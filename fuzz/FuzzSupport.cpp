// Stores, scratch files and entry invariants shared by the fuzz targets.
#include "FuzzSupport.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "files/CsvCodec.h"
#include "files/MemoryArchiveReader.h"
#include "files/PhonebookCsv.h"
#include "files/StringArchiveWriter.h"
#include "phonebook/EntryRules.h"
#include "phonebook/StoreEnvironment.h"

namespace fuzz {

namespace {

// The scratch folder and everything in it go when the fuzzer exits normally.
class Scratch {
 public:
  Scratch() {
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/qvbook-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data())) m_strPath = pattern;
    FUZZ_CHECK(!m_strPath.empty());
    m_pEnvironment = StoreEnvironment::CreateShared(m_strPath + "/stores");
  }
  ~Scratch() {
    m_batches.clear();
    m_stores.clear();
    m_pEnvironment.reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_strPath, ignored);
  }

  const std::string& Path() const { return m_strPath; }

  CDbPhoneCtrl& Store(int role) {
    auto& store = m_stores[role];
    if (!store) {
      store = std::make_unique<CDbPhoneCtrl>(*m_pEnvironment);
      FUZZ_CHECK(store->HasSlot());
      // The database stays open for the whole run: opening and configuring a connection for
      // every input would cost more than the code under test.
      m_batches[role] = std::make_unique<CDbPhoneCtrl::Batch>(*store);
    }
    return *store;
  }

 private:
  std::string m_strPath;
  std::unique_ptr<StoreEnvironment> m_pEnvironment;
  std::map<int, std::unique_ptr<CDbPhoneCtrl>> m_stores;
  std::map<int, std::unique_ptr<CDbPhoneCtrl::Batch>> m_batches;
};

Scratch& TheScratch() {
  static Scratch scratch;
  return scratch;
}

bool AllInSet(const std::string& text, CharSet set) {
  for (unsigned char c : text) {
    if (IsLeadByte(c) || !InCharSet(c, set)) return false;
  }
  return true;
}

bool HasLowerCase(const std::string& text) {
  for (char c : text) {
    if (c >= 'a' && c <= 'z') return true;
  }
  return false;
}

// The texts of an entry as a saved document gives them back: line breaks written as
// spaces, and trimmed (a cut made by NormaliseFields can leave a blank at the end).
PhonebookEntry Trimmed(PhonebookEntry entry) {
  for (std::string* text : {&entry.name, &entry.reading, &entry.phone1, &entry.phone2,
                            &entry.phone3}) {
    std::replace_if(text->begin(), text->end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    TrimCsvField(*text);
  }
  return entry;
}

void PrintText(const std::string& text) {
  std::fputc('[', stderr);
  for (unsigned char c : text) std::fprintf(stderr, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X", c);
  std::fputc(']', stderr);
}

void PrintEntry(const char* label, const PhonebookEntry& entry) {
  std::fprintf(stderr, "%s: %d ", label, entry.memoryNumber);
  for (const std::string* text : {&entry.name, &entry.reading, &entry.phone1, &entry.phone2,
                                  &entry.phone3})
    PrintText(*text);
  std::fprintf(stderr, " %d\n", entry.group);
}

}  // namespace

const std::string& ScratchFolder() { return TheScratch().Path(); }

CDbPhoneCtrl& Store(int role) { return TheScratch().Store(role); }

std::vector<PhonebookEntry> AllEntries(CDbPhoneCtrl& store) {
  std::vector<PhonebookEntry> entries;
  FUZZ_CHECK(store.ListEntries(KanaRowAll, SortByNumber, true, entries) == StoreResult::Ok);
  // Each listed number must be flagged, and nothing else: as many flags as entries.
  FUZZ_CHECK(static_cast<int>(entries.size()) == store.EntryCount());
  for (const PhonebookEntry& entry : entries) {
    const int number = entry.memoryNumber;
    FUZZ_CHECK(number < 1 || number > kMaxEntries || store.usedFlags()[number - 1] != 0);
  }
  return entries;
}

void CheckTextEntries(const std::vector<PhonebookEntry>& entries) {
  FUZZ_CHECK(entries.size() <= static_cast<std::size_t>(kMaxEntries));
  std::vector<bool> seen(kMaxEntries + 1);
  for (const PhonebookEntry& entry : entries) {
    FUZZ_CHECK(entry.memoryNumber >= 1 && entry.memoryNumber <= kMaxEntries);
    FUZZ_CHECK(!seen[entry.memoryNumber]);
    seen[entry.memoryNumber] = true;
    FUZZ_CHECK(entry.name.size() <= kNameMaxBytes);
    FUZZ_CHECK(entry.reading.size() <= kReadingMaxBytes);
    FUZZ_CHECK(AllInSet(entry.reading, CharSet::Reading));
    for (const std::string* phone : {&entry.phone1, &entry.phone2, &entry.phone3}) {
      FUZZ_CHECK(phone->size() <= kPhoneMaxBytes);
      FUZZ_CHECK(AllInSet(*phone, CharSet::Phone));
      FUZZ_CHECK(!HasLowerCase(*phone));
    }
    FUZZ_CHECK(entry.group >= 1 && entry.group <= 9);
  }
}

std::vector<PhonebookEntry> StartWithSomeEntries(CDbPhoneCtrl& store) {
  static const std::vector<PhonebookEntry> kEntries = {
      {1, "\x8E\x52\x93\x63", "\xD4\xCF\xC0\xDE", "0312345678", "", "", 1},
      {2, "Smith", "SMITH", "", "090", "", 2},
      {3, "", "", "", "", "#*P", 9},
      {500, "\"a,b\"", "\xB1", "1", "2", "3", 5},
      {kMaxEntries, "last", "\xDD", "999", "", "", 3}};
  FUZZ_CHECK(store.DeleteAll() == StoreResult::Ok);
  for (const PhonebookEntry& entry : kEntries) FUZZ_CHECK(store.AddEntry(entry) == StoreResult::Ok);
  return kEntries;
}

void CheckEntriesKept(const std::vector<PhonebookEntry>& kept,
                      const std::vector<PhonebookEntry>& entries) {
  for (const PhonebookEntry& entry : kept) {
    auto found = std::find_if(entries.begin(), entries.end(), [&](const PhonebookEntry& e) {
      return e.memoryNumber == entry.memoryNumber;
    });
    FUZZ_CHECK(found != entries.end() && *found == entry);
  }
}

std::string WriteScratchFile(const std::string& name, const uint8_t* bytes, std::size_t size) {
  const std::string path = ScratchFolder() + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(file != nullptr);
  FUZZ_CHECK(std::fwrite(bytes, 1, size, file) == size);
  FUZZ_CHECK(std::fclose(file) == 0);
  return path;
}

void CheckNormaliseCode(NormaliseResult code) {
  FUZZ_CHECK(code == NormaliseResult::Ok || code == NormaliseResult::NumberDoubleByte ||
             code == NormaliseResult::NumberNotDigits || code == NormaliseResult::NumberOutOfRange ||
             code == NormaliseResult::TooFewFields || code == NormaliseResult::NumberInUse);
}

void CheckLoadResult(const CsvLoadResult& result) {
  CheckNormaliseCode(result.row);
  FUZZ_CHECK(result.status == CsvLoadResult::Ok || result.status == CsvLoadResult::NotPhonebook);
  FUZZ_CHECK((result.status == CsvLoadResult::Ok) == (result.row == NormaliseResult::Ok));
}

std::vector<PhonebookEntry> CheckDocumentRoundTrip(CDbPhoneCtrl& store, CDbPhoneCtrl& other,
                                                   bool comma) {
  const std::vector<PhonebookEntry> before = AllEntries(store);
  CStringArchiveWriter writer;
  FUZZ_CHECK(SaveCsv(store, writer, comma) == StoreResult::Ok);
  CDbPhoneCtrl::Batch batch(other);
  FUZZ_CHECK(other.DeleteAll() == StoreResult::Ok);
  CMemoryArchiveReader reader(writer.Bytes());
  FUZZ_CHECK(LoadCsv(other, reader, comma).status == CsvLoadResult::Ok);
  const std::vector<PhonebookEntry> after = AllEntries(other);
  FUZZ_CHECK(after.size() == before.size());
  for (std::size_t i = 0; i < before.size(); ++i)
    FUZZ_CHECK(after[i].memoryNumber == before[i].memoryNumber);
  CheckTextEntries(after);
  return after;
}

void CheckSameEntries(const std::vector<PhonebookEntry>& before,
                      const std::vector<PhonebookEntry>& after) {
  FUZZ_CHECK(after.size() == before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (after[i] == Trimmed(before[i])) continue;
    PrintEntry("before", before[i]);
    PrintEntry("after", after[i]);
    FUZZ_CHECK(after[i] == Trimmed(before[i]));
  }
}

}  // namespace fuzz
