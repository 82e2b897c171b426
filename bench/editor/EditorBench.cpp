// Editor benchmarks on the offscreen platform: refreshing a 1000-entry list sorted by
// reading, starting with a 1000-entry file until the window is shown, and the peak
// resident memory with three 1000-entry phonebooks open.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/UtilityApp.h"
#include "doc/UtilityDoc.h"
#include "phonebook/StoreEnvironment.h"
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

void BM_RefreshThousandSortedByReading(benchmark::State& state) {
  QTemporaryDir folder;
  const QString path = WriteThousandEntryFile(folder);
  auto environment = StoreEnvironment::CreatePrivate();
  CUtilityDoc document(*environment);
  document.OnOpenDocument(path);
  CUtilityView view(&document);
  view.resize(1000, 700);
  view.show();
  view.OnSortClick(CUtilityView::kAllRows, 2);
  for (auto _ : state) {
    view.OnUpdate();
    QCoreApplication::processEvents();
  }
  state.counters["rows"] = view.NumberModel()->rowCount();
}
BENCHMARK(BM_RefreshThousandSortedByReading)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

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
