// How long the editor's event loop stands still while 1000 rows are copied from one
// phonebook and pasted into another, with accessibility off and on: the largest gap
// between ticks of a 10 ms timer, from the command until the loop has run for half a
// second after it (so that the repaints and the accessibility updates the command caused
// are counted too). "own" gaps leave out the moments the machine froze the process (see
// StallMeter).
//
// Three runs: accessibility off; on with the desktop's own bridge (Qt's AT-SPI bridge on
// the accessibility bus, no screen reader listening); and on with a stand-in for a screen
// reader in the bridge's place, which reads the name, role, state and place of every
// object an update names, and every selected cell of a table whose selection changed, as
// a screen reader asks for them. The first needs the bus off, the others on:
//   build/bench/ui/paste_stall_bench --benchmark_counters_tabular=true
//   bench/ui/with-accessibility-bus.sh build/bench/ui/paste_stall_bench --benchmark_counters_tabular=true
// (the second runs it on the xcb platform under Xvfb with a session bus and at-spi2-core's
// accessibility bus). A run skipped for the other setting says so.
#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTimer>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/UtilityApp.h"
#include "doc/UtilityDoc.h"
#include "ui/CommandIds.h"
#include "phonebook/StoreEnvironment.h"
#include "support/FakePrompts.h"
#include "support/StallMeter.h"
#include "UiBenchSupport.h"
#include "view/RowSelection.h"
#include "view/PhoneList.h"
#include "view/PhonebookLists.h"
#include "view/UtilityView.h"

namespace {

constexpr int kSettleMs = 500;  // the loop runs on this long after the command

// Runs `command` from the event loop and lets the loop run on for kSettleMs under a
// stall meter: the largest gap, and the largest less the machine's freezes.
std::pair<double, double> MeasureCommand(const std::function<void()>& command) {
  StallMeter meter;
  QEventLoop loop;
  meter.Start();
  QTimer::singleShot(0, [&] {
    command();
    QTimer::singleShot(kSettleMs, &loop, &QEventLoop::quit);
  });
  loop.exec();
  meter.Stop();
  return {meter.LargestGapMs(), meter.LargestOwnGapMs()};
}

// What a screen reader and its bridge do with each update: find the object's accessible
// interface and read what describes it; on a change of a table's
// selection, read the selected cells (a screen reader asks for them to tell what is
// selected).
std::size_t g_bridgeWork = 0;
void ReadLikeAScreenReader(QAccessibleEvent* event) {
  QAccessibleInterface* object = event->accessibleInterface();
  if (!object || !object->isValid()) return;
  g_bridgeWork += static_cast<std::size_t>(object->text(QAccessible::Name).size());
  g_bridgeWork += static_cast<std::size_t>(object->role());
  g_bridgeWork += object->state().focused ? 1u : 0u;
  QAccessibleInterface* parent = object->parent();
  const QAccessible::Event type = event->type();
  if (type != QAccessible::Selection && type != QAccessible::SelectionAdd &&
      type != QAccessible::SelectionRemove && type != QAccessible::SelectionWithin)
    return;
  QAccessibleTableInterface* table = object->tableInterface();
  if (!table && parent) table = parent->tableInterface();
  if (!table) return;
  for (QAccessibleInterface* cell : table->selectedCells())
    g_bridgeWork += static_cast<std::size_t>(cell->text(QAccessible::Name).size());
}

enum Accessibility { kOff = 0, kBridge = 1, kScreenReader = 2 };

const char* LabelOf(int mode) {
  switch (mode) {
    case kOff: return "accessibility off";
    case kBridge: return "accessibility on, the desktop bridge";
    default: return "accessibility on, a screen reader's reading";
  }
}

// state.range(0): an Accessibility. state.range(1): 0 copies all 1000 entries into an
// empty phonebook; 1 copies the 500 odd-numbered ones into a phonebook holding the even
// numbers, so that both selections are 500 separate rows.
void PasteStall(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  const bool interleaved = state.range(1) != 0;
  if (QAccessible::isActive() != (mode != kOff)) {
    state.SkipWithError(mode == kOff ? "accessibility is on: run without the accessibility bus"
                                     : "accessibility is off: run with the accessibility bus");
    return;
  }
  // The stand-in takes the bridge's place and stays for the runs after this one.
  if (mode == kScreenReader) QAccessible::installUpdateHandler(ReadLikeAScreenReader);
  auto environment = StoreEnvironment::CreatePrivate();
  FakePrompts prompts;

  for (auto _ : state) {
    // The whole editor, whose toolbar follows every change of the selection.
    CUtilityApp application(*environment, QStringLiteral("qvbook-bench-%1").arg(QCoreApplication::applicationPid()));
    if (!application.InitInstance({})) state.SkipWithError("the editor did not start");
    CMainFrame& frame = *application.MainFrame();
    CChildFrame* source = frame.ActiveChild();
    {
      CDbPhoneCtrl& store = source->GetDocument()->Store();
      CDbPhoneCtrl::Batch batch(store);
      for (const PhonebookEntry& entry : FullPhonebook())
        if (store.AddEntry(entry) != StoreResult::Ok) state.SkipWithError("the store failed");
      if (batch.Commit() != StoreResult::Ok) state.SkipWithError("the store failed");
    }
    CUtilityView* sourceView = source->GetView();
    sourceView->OnUpdate();
    std::vector<int> copied;
    for (int row = 0; row < kMaxEntries; row += interleaved ? 2 : 1) copied.push_back(row);
    sourceView->Lists().NumberList()->selectionModel()->select(WholeRows(*sourceView->Lists().NumberList()->Model(), copied),
                                                       QItemSelectionModel::ClearAndSelect);
    QApplication::processEvents();

    const auto copy = MeasureCommand([&] { frame.ExecuteCommand(ID_EDIT_COPY); });
    CUtilityDoc* target = application.OnFileNew();
    if (interleaved && target) {
      CDbPhoneCtrl::Batch batch(target->Store());
      for (const PhonebookEntry& entry : FullPhonebook())
        if (entry.memoryNumber % 2 == 0 && target->Store().AddEntry(entry) != StoreResult::Ok) state.SkipWithError("the store failed");
      if (batch.Commit() != StoreResult::Ok) state.SkipWithError("the store failed");
      frame.ActiveChild()->GetView()->OnUpdate();
    }
    QApplication::processEvents();
    const auto paste = MeasureCommand([&] { frame.ExecuteCommand(ID_EDIT_PASTE); });
    state.counters["copy_max_gap_ms"] = copy.first;
    state.counters["copy_own_gap_ms"] = copy.second;
    state.counters["paste_max_gap_ms"] = paste.first;
    state.counters["paste_own_gap_ms"] = paste.second;
    state.counters["pasted"] = target ? target->Store().EntryCount() : 0;
    state.counters["selected"] = frame.ActiveChild()->GetView()->Lists().CurrentList()->SelectedCount();
    for (CChildFrame* child : frame.Children()) child->GetDocument()->SetModifiedFlag(false);
    application.ExitInstance();
  }
  state.SetLabel(std::string(LabelOf(mode)) + (interleaved ? ", 500 separate rows" : ", 1000 rows"));
}
BENCHMARK(PasteStall)
    ->ArgsProduct({{kOff, kBridge, kScreenReader}, {0, 1}})
    ->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return RunUiBenchmarks(argc, argv, [] {
    // On the accessibility bus the bridge comes up within the first turns of the loop.
    QElapsedTimer waited;
    waited.start();
    while (qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON") && !QAccessible::isActive() &&
           waited.elapsed() < 10000)
      QApplication::processEvents(QEventLoop::AllEvents, 50);
  });
}
