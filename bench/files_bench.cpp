// Opening and saving a 1000-entry phonebook document, against a baseline that only splits
// and normalises the same lines (the work any loader must do), to show the store's share;
// the same open from a real file, and the checks a file's reader makes at the end of a
// pass that the file is still the one it opened, unchanged.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "files/CsvCodec.h"
#include "files/DocumentFile.h"
#include "files/MemoryArchiveReader.h"
#include "files/PhonebookCsv.h"
#include "files/StringArchiveWriter.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/EntryRules.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/ReadableFile.h"

namespace {

// 1000 full entries with double-byte names, comma separated, as the editor saves them.
const std::string& ThousandEntryDocument() {
  static const std::string document = [] {
    std::string bytes;
    for (int n = 1; n <= kMaxEntries; ++n) {
      char line[160];
      std::snprintf(line, sizeof line,
                    "%04d,\x8E\x52\x93\x63\x91\xBE\x98\x59%d,\xD4\xCF\xC0\xDE %d,03%08d,090%08d,#%d*,%d\r\n",
                    n, n % 10, n, n, n, n, 1 + n % 9);
      bytes += line;
    }
    return bytes;
  }();
  return document;
}

StoreEnvironment& Environment() {
  static std::unique_ptr<StoreEnvironment> environment = StoreEnvironment::CreatePrivate();
  return *environment;
}

void BM_OpenDocument(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_unique<CDbPhoneCtrl>(Environment());
    CMemoryArchiveReader reader(ThousandEntryDocument());
    state.ResumeTiming();
    if (LoadCsv(*store, reader, true).status != CsvLoadResult::Ok) state.SkipWithError("load failed");
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

// The document as a file beside the stores, removed at exit.
const std::string& ThousandEntryFile() {
  struct File {
    File() : path(Environment().Folder() + "/bench-book.csv") {
      std::FILE* out = std::fopen(path.c_str(), "wb");
      std::fwrite(ThousandEntryDocument().data(), 1, ThousandEntryDocument().size(), out);
      std::fclose(out);
    }
    ~File() { std::remove(path.c_str()); }
    const std::string path;
  };
  static const File file;
  return file.path;
}

void BM_OpenDocumentFile(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_unique<CDbPhoneCtrl>(Environment());
    state.ResumeTiming();
    if (LoadDocument(*store, ThousandEntryFile()).status != DocumentLoadResult::Ok) state.SkipWithError("load failed");
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenDocumentFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the reader adds at the end of each pass: the open file's size and last change, and
// whether its name still leads to it.
void BM_UnchangedFileCheck(benchmark::State& state) {
  int fd = -1;
  platform::FileIdentity opened, now;
  if (platform::OpenRegularFileForReading(ThousandEntryFile(), fd, opened) != 0) state.SkipWithError("no file");
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::IdentityOfOpenFile(fd, now));
    benchmark::DoNotOptimize(platform::IdentityOfPath(ThousandEntryFile(), now));
  }
}
BENCHMARK(BM_UnchangedFileCheck)->Unit(benchmark::kMicrosecond);

void BM_SaveDocument(benchmark::State& state) {
  CDbPhoneCtrl store(Environment());
  CMemoryArchiveReader reader(ThousandEntryDocument());
  if (LoadCsv(store, reader, true).status != CsvLoadResult::Ok) state.SkipWithError("load failed");
  for (auto _ : state) {
    CStringArchiveWriter writer;
    if (SaveCsv(store, writer, true) != StoreResult::Ok) state.SkipWithError("save failed");
    benchmark::DoNotOptimize(writer.Bytes().data());
  }
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SplitAndNormaliseBaseline(benchmark::State& state) {
  for (auto _ : state) {
    CMemoryArchiveReader reader(ThousandEntryDocument());
    UsedFlags used{};
    std::string line;
    while (reader.ReadLine(line)) {
      std::vector<std::string> fields = SplitCsvLine(line, kCsvComma);
      if (NormaliseFields(fields, used) != NormaliseResult::Ok) state.SkipWithError("bad line");
      used[EntryFromFields(fields).memoryNumber - 1] = 1;
    }
    benchmark::DoNotOptimize(used.data());
  }
}
BENCHMARK(BM_SplitAndNormaliseBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
