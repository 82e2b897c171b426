// Speed of the store on a 1000-entry phonebook: adding in a Batch, building and loading
// the handset image, and listing the entries in reading order.
#include <benchmark/benchmark.h>

#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"

namespace {

std::vector<PhonebookEntry> ThousandEntries() {
  std::vector<PhonebookEntry> entries;
  for (int n = 1; n <= kMaxEntries; ++n) {
    PhonebookEntry entry;
    entry.memoryNumber = n;
    entry.name = "\x8E\x52\x93\x63\x91\xBE\x98\x59" + std::to_string(n);  // 山田太郎 + n
    entry.reading = std::string(1, static_cast<char>(0xB1 + n % 45)) + "\xCF\xC0\xDE";
    entry.phone1 = "090" + std::to_string(10000000 + n);
    entry.phone2 = "03" + std::to_string(50000000 + n);
    entry.group = 1 + n % 9;
    entries.push_back(entry);
  }
  return entries;
}

bool AddAll(CDbPhoneCtrl& store, const std::vector<PhonebookEntry>& entries) {
  CDbPhoneCtrl::Batch batch(store);
  for (const PhonebookEntry& entry : entries)
    if (store.AddEntry(entry) != StoreResult::Ok) return false;
  return batch.Commit() == StoreResult::Ok;
}

struct BenchStore {
  std::unique_ptr<StoreEnvironment> environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store{*environment};
};

void AddThousandInABatch(benchmark::State& state) {
  BenchStore bench;
  const auto entries = ThousandEntries();
  for (auto _ : state) {
    state.PauseTiming();
    if (bench.store.DeleteAll() != StoreResult::Ok) state.SkipWithError("the store failed");
    state.ResumeTiming();
    if (!AddAll(bench.store, entries)) state.SkipWithError("the store failed");
  }
  state.counters["entries"] = bench.store.EntryCount();
}
BENCHMARK(AddThousandInABatch)->Unit(benchmark::kMillisecond);

void BuildImageOfThousand(benchmark::State& state) {
  BenchStore bench;
  if (!AddAll(bench.store, ThousandEntries())) state.SkipWithError("the store failed");
  auto image = std::make_unique<PhonebookImage>();
  for (auto _ : state) {
    image->fill(0);
    benchmark::DoNotOptimize(bench.store.BuildImage(*image));
  }
}
BENCHMARK(BuildImageOfThousand)->Unit(benchmark::kMillisecond);

void LoadImageOfThousand(benchmark::State& state) {
  BenchStore bench;
  if (!AddAll(bench.store, ThousandEntries())) state.SkipWithError("the store failed");
  auto image = std::make_unique<PhonebookImage>();
  if (bench.store.BuildImage(*image) != StoreResult::Ok) state.SkipWithError("the store failed");
  for (auto _ : state) benchmark::DoNotOptimize(LoadPhonebookImage(*image, bench.store));
  state.counters["entries"] = bench.store.EntryCount();
}
BENCHMARK(LoadImageOfThousand)->Unit(benchmark::kMillisecond);

void ListThousandByReading(benchmark::State& state) {
  BenchStore bench;
  if (!AddAll(bench.store, ThousandEntries())) state.SkipWithError("the store failed");
  std::vector<PhonebookEntry> entries;
  for (auto _ : state) {
    entries.clear();
    benchmark::DoNotOptimize(bench.store.ListEntries(KanaRowAll, SortByReading, true, entries));
  }
  state.counters["entries"] = static_cast<double>(entries.size());
}
BENCHMARK(ListThousandByReading)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
