// Speed of the clipboard and import work on a full-size phonebook: copying 1000 rows,
// pasting 1000 rows into an empty store, and importing a 1000-row file whose every row is
// a duplicate answered "add under another number" for all.
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
    state.PauseTiming();
    if (store.DeleteAll() != StoreOk) state.SkipWithError("the store failed");
    state.ResumeTiming();
    const auto outcome = PasteClipboardLines(store, SplitClipboardLines(clipboard));
    if (outcome.pastedNumbers.size() != 1000) state.SkipWithError("not every row was pasted");
  }
}
BENCHMARK(BM_Paste1000RowsIntoEmptyStore)->Unit(benchmark::kMillisecond);

void BM_Import1000DuplicatesAddedForAll(benchmark::State& state) {
  char folder[] = "/tmp/qvbook-exchange-bench-XXXXXX";
  if (!mkdtemp(folder)) {
    state.SkipWithError("no scratch folder");
    return;
  }
  const std::string path = std::string(folder) + "/duplicates.csv";
  {
    // Rows numbered 10..19, a hundred each, for a phonebook that holds 10..19: every row is
    // a duplicate, and 990 of them find a free number before the phonebook is full.
    std::ofstream file(path, std::ios::binary);
    for (int i = 0; i < 1000; ++i) file << "00" << (i % 10 + 10) << ",row" << i << ",,0312345678,,,1\r\n";
  }
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  for (auto _ : state) {
    state.PauseTiming();
    if (store.DeleteAll() != StoreOk) state.SkipWithError("the store failed");
    {
      CDbPhoneCtrl::Batch batch(store);
      for (int n = 10; n <= 19; ++n)
        if (store.AddEntry(BenchEntry(n)) != StoreOk) state.SkipWithError("the store failed");
      if (batch.Commit() != StoreOk) state.SkipWithError("the store failed");
    }
    state.ResumeTiming();
    CFixedDuplicateResolver addForAll(DuplicateAddOther);
    const ImportSummary summary = ImportCsvFile(store, path, addForAll);
    if (summary.added != 990) state.SkipWithError("the import did not fill the phonebook");
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_Import1000DuplicatesAddedForAll)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
