// The reading suggester: loading the dictionary and the names table (time, bytes mapped,
// the table's bytes in memory, resident memory they add with a first suggestion), one
// suggestion, filling 1000 rows (and the process's
// resident memory after), and its accuracy on names with known readings
// (NamesWithReadings.h): the best reading right, and the right reading among the ten
// offered, beside the same dictionary's plain MeCab ranking without the name scoring, the
// learned name parts and the names table.
//   build/bench/readings_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>

#include "NamesWithReadings.h"
#include "readings/ReadingFill.h"
#include "readings/ReadingSuggester.h"

namespace {

const char* NamesFile() {
  const char* chosen = std::getenv("QVBOOK_NAMES_JISYO");
  return chosen ? chosen : "/usr/share/skk/SKK-JISYO.fullname";
}

const std::vector<NameWithReadings>& HeldOutNames() {
  static const auto names = LoadNamesWithReadings(NamesFile(), true);
  return names;
}

double ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return static_cast<double>(resident) * 4096;
}

void LoadDictionary(benchmark::State& state) {
  double added = 0, bytes = 0, table = 0, readings = 0;
  for (auto _ : state) {
    const double before = ResidentBytes();
    CReadingSuggester suggester;
    if (!suggester.Load()) state.SkipWithError("no dictionary");
    suggester.Suggest("\x8E\x52\x93\x63");  // 山田: touches the pages a first lookup needs
    added = ResidentBytes() - before;
    bytes = static_cast<double>(suggester.DictionaryBytes());
    table = static_cast<double>(suggester.NameTableBytes());
    readings = static_cast<double>(suggester.NameReadingCount());
  }
  state.counters["mapped_MB"] = bytes / 1e6;
  state.counters["name_table_MB"] = table / 1e6;
  state.counters["name_readings"] = readings;
  state.counters["resident_added_MB"] = added / 1e6;
}
BENCHMARK(LoadDictionary)->Unit(benchmark::kMillisecond)->Iterations(5);

void OneSuggestion(benchmark::State& state) {
  const auto& names = HeldOutNames();
  if (names.empty()) return state.SkipWithError("no names with readings");
  SharedReadingSuggester().Load();
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(SharedReadingSuggester().Suggest(names[i++ % names.size()].name));
}
BENCHMARK(OneSuggestion)->Unit(benchmark::kMicrosecond);

// The CLI's fill (the best reading only) and the preview's (ten readings per row).
void FillThousandRows(benchmark::State& state) {
  const auto& names = HeldOutNames();
  if (names.size() < kMaxEntries) return state.SkipWithError("too few names with readings");
  std::vector<PhonebookEntry> entries(kMaxEntries);
  for (int i = 0; i < kMaxEntries; ++i) {
    entries[i].memoryNumber = i + 1;
    entries[i].name = names[i].name;
  }
  SharedReadingSuggester().Load();
  for (auto _ : state)
    benchmark::DoNotOptimize(ProposeReadings(entries, SharedReadingSuggester(), false,
                                             static_cast<std::size_t>(state.range(0))));
  // The whole process after the fills: the dictionary's pages they touched, and the rest.
  state.counters["process_resident_MB"] = ResidentBytes() / 1e6;
}
BENCHMARK(FillThousandRows)->Arg(1)->Arg(CReadingSuggester::kMaxReadings)->Unit(benchmark::kMillisecond);

void Accuracy(benchmark::State& state, CReadingSuggester& suggester) {
  const auto& names = HeldOutNames();
  if (names.empty()) return state.SkipWithError("no names with readings");
  double best = 0, offered = 0;
  for (auto _ : state) {
    best = offered = 0;
    for (const NameWithReadings& name : names) {
      const std::vector<std::string> readings = suggester.Suggest(name.name);
      if (readings.empty()) continue;
      best += name.readings.count(readings.front());
      for (const std::string& reading : readings) {
        if (!name.readings.count(reading)) continue;
        ++offered;
        break;
      }
    }
  }
  state.counters["names"] = static_cast<double>(names.size());
  state.counters["best_right_%"] = 100 * best / names.size();
  state.counters["among_10_%"] = 100 * offered / names.size();
}

void AccuracyOnNames(benchmark::State& state) { Accuracy(state, SharedReadingSuggester()); }
BENCHMARK(AccuracyOnNames)->Unit(benchmark::kSecond)->Iterations(1);

void AccuracyOfPlainMeCab(benchmark::State& state) {
  CReadingSuggester suggester(CReadingSuggester::DefaultFolders(), PlainMeCabScoring(), {});
  Accuracy(state, suggester);
}
BENCHMARK(AccuracyOfPlainMeCab)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
