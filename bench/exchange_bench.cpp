// Speed of the clipboard, import and export work on a full-size phonebook: copying 1000
// rows, pasting 1000 rows into an empty store, importing a 1000-row file whose every row
// is a duplicate answered "add under another number" for all, importing a 1000-card
// vCard file into an empty store and exporting 1000 entries as vCard (3.0 and 2.1).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "files/ClipboardText.h"
#include "files/CsvImport.h"
#include "files/VcardFile.h"
#include "files/VcardImport.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/CodePage.h"

namespace {

PhonebookEntry BenchEntry(int number) {
  PhonebookEntry entry;
  entry.memoryNumber = number;
  entry.name = "\x8e\x52\x93\x63 " + std::to_string(number);  // 山田 n
  entry.reading = "\xD4\xCF\xC0\xDE";                            // ﾔﾏﾀﾞ
  entry.phone1 = "0312345678";
  entry.phone2 = "09012345678";
  entry.group = number % 9 + 1;
  return entry;
}

std::vector<std::vector<std::string>> Rows(int count) {
  std::vector<std::vector<std::string>> rows;
  for (int n = 1; n <= count; ++n) {
    const auto texts = EntryToTexts(BenchEntry(n));
    rows.emplace_back(texts.begin(), texts.end());
  }
  return rows;
}

// Empties `store` and puts `entries` into it; false when the store failed.
bool Fill(CDbPhoneCtrl& store, const std::vector<PhonebookEntry>& entries) {
  CDbPhoneCtrl::Batch batch(store);
  bool stored = store.DeleteAll() == StoreResult::Ok;
  for (const PhonebookEntry& entry : entries) stored = stored && store.AddEntry(entry) == StoreResult::Ok;
  return stored && batch.Commit() == StoreResult::Ok;
}

// The same between two iterations, outside the timing.
void Refill(benchmark::State& state, CDbPhoneCtrl& store, const std::vector<PhonebookEntry>& entries) {
  state.PauseTiming();
  if (!Fill(store, entries)) state.SkipWithError("the store failed");
  state.ResumeTiming();
}

void BM_Copy1000Rows(benchmark::State& state) {
  const auto rows = Rows(1000);
  for (auto _ : state) {
    const std::string text = BuildClipboardText({11, 0}, rows);
    benchmark::DoNotOptimize(Cp932ToUtf8(text));
  }
}
BENCHMARK(BM_Copy1000Rows)->Unit(benchmark::kMillisecond);

void BM_Paste1000RowsIntoEmptyStore(benchmark::State& state) {
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  const std::string clipboard = Utf8ToCp932(Cp932ToUtf8(BuildClipboardText({11, 0}, Rows(1000))));
  for (auto _ : state) {
    Refill(state, store, {});
    const auto outcome = PasteClipboardLines(store, SplitClipboardLines(clipboard));
    if (outcome.pastedNumbers.size() != 1000) state.SkipWithError("not every row was pasted");
  }
}
BENCHMARK(BM_Paste1000RowsIntoEmptyStore)->Unit(benchmark::kMillisecond);

// A private scratch folder for one benchmark, removed at the end.
class ScratchFolder {
 public:
  ScratchFolder() : m_bMade(mkdtemp(m_path) != nullptr) {}
  ~ScratchFolder() {
    if (m_bMade) std::filesystem::remove_all(m_path);
  }
  bool Made() const { return m_bMade; }
  std::string File(const char* name) const { return std::string(m_path) + "/" + name; }

 private:
  char m_path[40] = "/tmp/qvbook-exchange-bench-XXXXXX";
  bool m_bMade;
};

std::vector<PhonebookEntry> BenchEntries(int count) {
  std::vector<PhonebookEntry> entries;
  for (int n = 1; n <= count; ++n) entries.push_back(BenchEntry(n));
  return entries;
}

void BM_Import1000DuplicatesAddedForAll(benchmark::State& state) {
  ScratchFolder folder;
  if (!folder.Made()) return state.SkipWithError("no scratch folder");
  const std::string path = folder.File("duplicates.csv");
  {
    // Rows numbered 10..19, a hundred each, for a phonebook that holds 10..19: every row is
    // a duplicate, and 990 of them find a free number before the phonebook is full.
    std::ofstream file(path, std::ios::binary);
    for (int i = 0; i < 1000; ++i) file << "00" << (i % 10 + 10) << ",row" << i << ",,0312345678,,,1\r\n";
  }
  std::vector<PhonebookEntry> held;
  for (int n = 10; n <= 19; ++n) held.push_back(BenchEntry(n));
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  for (auto _ : state) {
    Refill(state, store, held);
    CFixedDuplicateResolver addForAll(DuplicateMethod::AddOther);
    const ImportSummary summary = ImportCsvFile(store, path, addForAll);
    if (summary.added != 990) state.SkipWithError("the import did not fill the phonebook");
  }
}
BENCHMARK(BM_Import1000DuplicatesAddedForAll)->Unit(benchmark::kMillisecond);

// The vCard version from the benchmark's argument: 30 or 21.
VcardVersion VersionOfArg(const benchmark::State& state) {
  return state.range(0) == 21 ? VcardVersion::V21 : VcardVersion::V30;
}

void BM_ImportVcard1000Cards(benchmark::State& state) {
  ScratchFolder folder;
  if (!folder.Made()) return state.SkipWithError("no scratch folder");
  const std::string path = folder.File("contacts.vcf");
  std::ofstream(path, std::ios::binary) << BuildVcards(BenchEntries(1000), VersionOfArg(state));
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  for (auto _ : state) {
    Refill(state, store, {});
    CFixedDuplicateResolver skip(DuplicateMethod::Skip);
    if (ImportVcardFile(store, path, skip).added != 1000) state.SkipWithError("not every card was added");
  }
}
BENCHMARK(BM_ImportVcard1000Cards)->Arg(30)->Arg(21)->Unit(benchmark::kMillisecond);

void BM_ExportVcard1000Entries(benchmark::State& state) {
  ScratchFolder folder;
  if (!folder.Made()) return state.SkipWithError("no scratch folder");
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (!Fill(store, BenchEntries(1000))) return state.SkipWithError("the store failed");
  for (auto _ : state) {
    if (ExportVcardFile(store, folder.File("out.vcf"), VersionOfArg(state)).status != VcardExportResult::Ok)
      state.SkipWithError("the export failed");
  }
}
BENCHMARK(BM_ExportVcard1000Entries)->Arg(30)->Arg(21)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
