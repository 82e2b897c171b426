// Starting the reading dictionary's load in the background, from a window that will want
// suggestions soon.
#pragma once

#include <QCoreApplication>

#include "readings/ReadingSuggester.h"

// Starts `readings` loading on a thread of its own, and makes the application wait for the
// shared suggester's load as it ends: Qt's post routines run while main() is still
// running. Left to the static suggester's destructor, the wait would happen inside exit(),
// where on Windows a loader thread that is still starting (a function-local static whose
// destructor it registers) blocks on the C runtime's exit lock, and the process never ends.
inline void StartLoadingReadings(CReadingSuggester& readings) {
  readings.LoadInBackground();
  static const bool waitsBeforeExit = [] {
    qAddPostRoutine([] { SharedReadingSuggester().WaitForBackgroundLoad(); });
    return true;
  }();
  (void)waitsBeforeExit;
}
