// Editor benchmarks on the offscreen platform: refreshing a 1000-entry list sorted by
// reading, filtering it on one keystroke in the search field, starting with a 1000-entry
// file until the window is shown, the peak resident memory with three 1000-entry
// phonebooks open, and the memory the undo history holds after 100 edits.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <malloc.h>
#include <sys/resource.h>

#include <memory>

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/UtilityApp.h"
#include "doc/UtilityDoc.h"
#include "phonebook/StoreEnvironment.h"
#include "strings/StringIds.h"
#include "view/ListFind.h"
#include "view/PhoneList.h"
#include "view/PhonebookLists.h"
#include "view/UtilityView.h"

namespace {

// A document file of 1000 entries with readings spread over every kana row.
QString WriteThousandEntryFile(const QTemporaryDir& folder) {
  const QString path = folder.filePath("thousand.csv");
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  for (int number = 1; number <= 1000; ++number) {
    const char first = static_cast<char>(0xB1 + number % 45);  // ｱ..ﾝ
    const char second = static_cast<char>(0xB1 + (number * 7) % 45);
    QByteArray line = QString::asprintf("%04d,Name%d,", number, number).toLatin1();
    line += first;
    line += second;
    line += QString::asprintf(",0312%06d,,,%d\r\n", number, 1 + number % 9).toLatin1();
    file.write(line);
  }
  return path;
}

QString UniqueLockName() {
  static int run = 0;
  return QStringLiteral("qvbook-bench-%1-%2").arg(QCoreApplication::applicationPid()).arg(++run);
}

// A phonebook opened from a 1000-entry file, shown in its view.
struct ThousandEntryView {
  QTemporaryDir folder;
  std::unique_ptr<StoreEnvironment> environment = StoreEnvironment::CreatePrivate();
  CUtilityDoc document{*environment};
  bool opened = document.OnOpenDocument(WriteThousandEntryFile(folder));
  CUtilityView view{&document};

  ThousandEntryView() {
    view.resize(1000, 700);
    view.show();
  }
};

void BM_RefreshThousandSortedByReading(benchmark::State& state) {
  ThousandEntryView book;
  CUtilityView& view = book.view;
  view.Lists().OnSortClick(CPhonebookLists::kAllRows, 2);
  for (auto _ : state) {
    view.OnUpdate();
    QCoreApplication::processEvents();
  }
  state.counters["rows"] = view.Lists().NumberList()->Model()->rowCount();
}
BENCHMARK(BM_RefreshThousandSortedByReading)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

// One keystroke in the search field of a 1000-entry phonebook: the filter, the matches per
// kana tab and the list's refill and repaint. Argument 0: number order, 1: kana order.
void BM_FilterThousandOnKeystroke(benchmark::State& state) {
  ThousandEntryView book;
  CUtilityView& view = book.view;
  if (state.range(0) == 1) view.Lists().OnKanaOrder();
  // What a user types: kana of each kind, a name, digits with a separator, and back again.
  const QStringList keystrokes = {QString::fromUtf8("か"), QString::fromUtf8("かｷ"),
                                  QString::fromUtf8("カ"),  QStringLiteral("Name"),
                                  QStringLiteral("Name9"), QStringLiteral("03"),
                                  QStringLiteral("03-12"), QString()};
  qsizetype next = 0;
  for (auto _ : state) {
    view.Find().SetFindText(keystrokes[next++ % keystrokes.size()]);
    QCoreApplication::processEvents();
  }
  state.counters["entries"] = book.document.Store().EntryCount();
}
BENCHMARK(BM_FilterThousandOnKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

// The heap the undo history holds after 100 edits of a 1000-entry phonebook (each edit one
// step, as the edit command records it), beside the heap one copy of the phonebook takes.
void BM_HistoryMemoryAfterHundredEdits(benchmark::State& state) {
  QTemporaryDir folder;
  const QString path = WriteThousandEntryFile(folder);
  auto environment = StoreEnvironment::CreatePrivate();
  for (auto _ : state) {
    CUtilityDoc document(*environment);
    document.OnOpenDocument(path);
    CDbPhoneCtrl& store = document.Store();
    malloc_trim(0);
    const std::size_t heapBefore = mallinfo2().uordblks;
    for (int number = 1; number <= 100; ++number) {
      PhonebookEntry entry;
      (void)store.FindEntry(number, entry);
      entry.name += "+";
      const auto step = document.BeginStep(IDS_STEP_EDIT);
      CDbPhoneCtrl::Batch batch(store);
      (void)store.DeleteEntry(number);
      (void)store.AddEntry(entry);
      (void)batch.Commit();
    }
    malloc_trim(0);
    state.counters["history_KB"] =
        (static_cast<double>(mallinfo2().uordblks) - static_cast<double>(heapBefore)) / 1024.0;
    state.counters["steps"] = document.History().Count();
    const std::size_t heapBeforeCopy = mallinfo2().uordblks;
    std::vector<PhonebookEntry> copy;
    (void)store.ListAllEntries(copy);
    state.counters["one_phonebook_copy_KB"] =
        (static_cast<double>(mallinfo2().uordblks) - static_cast<double>(heapBeforeCopy)) / 1024.0;
  }
}
BENCHMARK(BM_HistoryMemoryAfterHundredEdits)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StartWithThousandEntryFile(benchmark::State& state) {
  QTemporaryDir folder;
  const QString path = WriteThousandEntryFile(folder);
  auto environment = StoreEnvironment::CreatePrivate();
  for (auto _ : state) {
    CUtilityApp application(*environment, UniqueLockName());
    application.InitInstance({path});
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(application.MainFrame()->isVisible());
    state.PauseTiming();
    application.ExitInstance();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartWithThousandEntryFile)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ThreeThousandEntryPhonebooksPeakMemory(benchmark::State& state) {
  QTemporaryDir folder;
  const QString path = WriteThousandEntryFile(folder);
  QStringList copies;
  for (int i = 0; i < 3; ++i) {
    copies << folder.filePath(QString("book%1.csv").arg(i));
    QFile::copy(path, copies.back());
  }
  auto environment = StoreEnvironment::CreatePrivate();
  for (auto _ : state) {
    CUtilityApp application(*environment, UniqueLockName());
    application.InitInstance({copies[0]});
    application.OpenDocumentFile(copies[1]);
    application.OpenDocumentFile(copies[2]);
    state.counters["windows"] = application.MainFrame()->Children().size();
    QCoreApplication::processEvents();
    application.ExitInstance();
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = usage.ru_maxrss / 1024.0;
}
BENCHMARK(BM_ThreeThousandEntryPhonebooksPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
