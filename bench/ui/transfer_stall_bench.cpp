// How long the editor's event loop stands still during a whole download and a whole
// upload (the handset's phonebook backed up first, the preview accepted, then the
// restart) of a full 1000-entry phonebook, against the emulator with the
// handset's real pacing: the largest gap between ticks of a 10 ms timer, from the command
// to the end of its result message. "own" gaps leave out the moments the machine froze
// the process (seen by a plain sleeping thread on the same processor); "idle" is the same
// meter over an idle loop and "calibration" over a loop that sleeps 60 ms once, to show
// that a real stall is counted.
//   build/bench/ui/transfer_stall_bench   (about 20 s; QT_QPA_PLATFORM=offscreen by default)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <fstream>
#include <thread>
#include <functional>
#include <utility>

#include "doc/UtilityDoc.h"
#include "doc/DocumentTransfer.h"
#include "comm/HandsetProcess.h"
#include "phonebook/StoreEnvironment.h"
#include "support/FakePrompts.h"
#include "support/PreviewAnswers.h"
#include "support/StallMeter.h"
#include "UiBenchSupport.h"
#include "view/TransferRunner.h"
#include "view/UtilityView.h"

namespace {

// Runs `work` under a stall meter: the largest gap, and the largest less the machine's
// freezes.
std::pair<double, double> MeasureGaps(const std::function<void()>& work) {
  StallMeter meter;
  meter.Start();
  work();
  meter.Stop();
  return {meter.LargestGapMs(), meter.LargestOwnGapMs()};
}

// The same over an idle event loop: what the machine alone does to the timer.
std::pair<double, double> IdleGaps(int ms) {
  return MeasureGaps([ms] {
    QEventLoop idle;
    QTimer::singleShot(ms, &idle, &QEventLoop::quit);
    idle.exec();
  });
}

// An idle loop that blocks once for `blockMs` in the middle.
std::pair<double, double> BlockedGaps(int blockMs) {
  return MeasureGaps([blockMs] {
    QEventLoop loop;
    QTimer::singleShot(200, [blockMs] { std::this_thread::sleep_for(std::chrono::milliseconds(blockMs)); });
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec();
  });
}

void TransferStall(benchmark::State& state) {
  QTemporaryDir folder;
  const std::string imagePath = folder.filePath(QStringLiteral("full.bin")).toStdString();
  auto environment = StoreEnvironment::CreatePrivate();
  {
    CDbPhoneCtrl source(*environment);
    CDbPhoneCtrl::Batch batch(source);
    for (const PhonebookEntry& entry : FullPhonebook())
      if (source.AddEntry(entry) != StoreResult::Ok) state.SkipWithError("the store failed");
    if (batch.Commit() != StoreResult::Ok) state.SkipWithError("the store failed");
    PhonebookImage image{};
    if (source.BuildImage(image) != StoreResult::Ok) state.SkipWithError("the store failed");
    std::ofstream(imagePath, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
  }
  HandsetProcess handset({"--image", imagePath}, folder.filePath(QStringLiteral("handset.log")).toStdString());
  qputenv("QVBOOK_PORT", QByteArray::fromStdString(handset.Path()));
  qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toLocal8Bit());  // the backup's setting
  qputenv("XDG_DATA_HOME", folder.filePath(QStringLiteral("data")).toLocal8Bit());      // and the backups
  FakePrompts prompts;
  CDocumentTransfer::SetTransferTimingForNewDocuments(TransferTiming{});  // the handset's own pacing

  for (auto _ : state) {
    CUtilityDoc doc(*environment);
    CUtilityView view(&doc);
    view.resize(900, 600);
    view.show();
    prompts.answers = {PromptAnswer::Ok, PromptAnswer::Ok};
    prompts.dialogScripts.push_back(AnswerPreview(true));  // the upload's preview
    const auto download = MeasureGaps([&] { view.Transfers().OnDownload(); });
    const auto upload = MeasureGaps([&] { view.Transfers().OnUpload(); });
    const auto idle = IdleGaps(5000);
    const auto calibration = BlockedGaps(60);
    state.counters["download_max_gap_ms"] = download.first;
    state.counters["download_own_gap_ms"] = download.second;
    state.counters["upload_max_gap_ms"] = upload.first;
    state.counters["upload_own_gap_ms"] = upload.second;
    state.counters["idle_max_gap_ms"] = idle.first;
    state.counters["idle_own_gap_ms"] = idle.second;
    state.counters["calibration_own_gap_ms"] = calibration.second;
    state.counters["entries"] = doc.Store().EntryCount();
    state.counters["messages"] = static_cast<double>(prompts.messages.size());
  }
}
BENCHMARK(TransferStall)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return RunUiBenchmarks(argc, argv); }
