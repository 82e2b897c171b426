// A signal one thread raises and another waits for: each successful wait consumes the
// raise, and raising an already raised signal changes nothing (as an auto-reset event).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class CAutoResetEvent {
 public:
  void Raise() {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_bRaised = true;
    }
    m_cv.notify_one();
  }

  // Waits up to timeoutMs (negative: without limit) and consumes the raise. False on
  // time-out, or at once while the event is interrupted.
  bool Wait(int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    auto ready = [this] { return m_bRaised || m_bInterrupted; };
    if (timeoutMs < 0) {
      m_cv.wait(lock, ready);
    } else if (!m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
      return false;
    }
    if (m_bInterrupted) return false;
    m_bRaised = false;
    return true;
  }

  // Consumes a pending raise without waiting.
  bool TryWait() { return Wait(0); }

  void Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bRaised = false;
  }

  // While interrupted, every wait returns false at once (used to end a transfer promptly).
  void SetInterrupted(bool interrupted) {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_bInterrupted = interrupted;
    }
    m_cv.notify_all();
  }

  bool IsInterrupted() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bInterrupted;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_bRaised = false;       // raised and not yet consumed
  bool m_bInterrupted = false;  // waits give up at once
};
