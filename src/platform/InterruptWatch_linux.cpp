// The interrupt watch on Linux: the signals are blocked in every thread and collected by
// sigtimedwait() on the watcher thread.
#include "platform/InterruptWatch.h"

#include <csignal>
#include <ctime>
#include <pthread.h>

namespace {

sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : m_onInterrupt(std::move(onInterrupt)) {
  sigset_t set = WatchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  m_watcher = std::thread([this, set] {
    const timespec tick{0, 100 * 1000 * 1000};  // how soon the watch notices its end
    while (!m_bDone) {
      if (sigtimedwait(&set, nullptr, &tick) > 0) {
        m_bInterrupted = true;
        if (m_onInterrupt) m_onInterrupt();
      }
    }
  });
}

InterruptWatch::~InterruptWatch() {
  m_bDone = true;
  m_watcher.join();
  sigset_t set = WatchedSignals();
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}
