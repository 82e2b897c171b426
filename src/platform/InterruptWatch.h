// Turns Ctrl+C (SIGINT) and SIGTERM into a call on a watcher thread of its own, for as
// long as the object lives, so that a command-line transfer can end cleanly.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

class InterruptWatch {
 public:
  // Create it before any other thread, so that every thread leaves the signals to it.
  explicit InterruptWatch(std::function<void()> onInterrupt);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  bool Interrupted() const { return m_bInterrupted; }

 private:
  std::function<void()> m_onInterrupt;
  std::atomic<bool> m_bInterrupted{false};
  std::atomic<bool> m_bDone{false};
  std::thread m_watcher;
};
