// Shared pieces of the session tests: a recording observer, a quick timing record and a
// recognisable image.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "comm/TransferSession.h"

// Records every notification; lets a test wait for the finished one.
class RecordingObserver : public ITransferObserver {
 public:
  std::function<void(int kind, int value)> onNotify;  // runs on the transfer thread

  void OnCommNotify(int kind, int value) override {
    if (onNotify) onNotify(kind, value);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.push_back({kind, value});
    m_cv.notify_all();
  }

  // The finished notification's result, or none when none came within `timeoutMs`.
  std::optional<SessionResult> WaitFinished(int timeoutMs = 20000) {
    std::unique_lock<std::mutex> lock(m_mutex);
    std::optional<SessionResult> result;
    m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
      for (auto [kind, value] : m_events)
        if (kind != NotifyProgress) return result = static_cast<SessionResult>(value), true;
      return false;
    });
    return result;
  }

  std::vector<int> Progress() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<int> values;
    for (auto [kind, value] : m_events)
      if (kind == NotifyProgress) values.push_back(value);
    return values;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  std::vector<std::pair<int, int>> m_events;
};

// The session's pauses cut to nothing, so that fault tests run quickly.
inline TransferTiming QuickTiming() {
  TransferTiming t;
  t.afterOpenMs = t.afterWaitNoticeMs = t.startToDeleteMs = 0;
  t.beforeAckMs = t.aroundPutFileMs = t.afterBlockMs = 0;
  t.afterEndOfLinkMs = 50;  // the end-of-link frame must leave before the port closes
  t.wakePollMs = 10;
  t.wakeLimitMs = 3000;
  t.replyTimeoutMs = 1000;
  t.openRetryPauseMs = 50;
  return t;
}

// Every byte value, in an order that differs between neighbouring blocks.
inline PhonebookImage PatternImage() {
  PhonebookImage image{};
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>((i * 7 + i / 1024) & 0xFF);
  return image;
}
