// What the benchmarks of the editor's event loop share: a full phonebook to transfer or
// copy, and the start of the run on one processor with the offscreen platform by default.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <sched.h>

#include <functional>
#include <string>
#include <vector>

#include "support/FullPhonebook.h"

// Runs the registered benchmarks in a QApplication; `ready`, when given, runs first.
inline int RunUiBenchmarks(int argc, char** argv, const std::function<void()>& ready = {}) {
  // Every thread on one processor: when the machine stalls that processor, the meter's
  // plain sleeping thread stalls with the event loop and the stall is not counted as ours.
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(0, &one);
  sched_setaffinity(0, sizeof one, &one);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (ready) ready();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
