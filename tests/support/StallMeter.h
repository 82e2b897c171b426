// Measures how long the event loop of the calling thread stands still: a 10 ms timer
// notes every gap between its ticks. A shared or throttled machine also freezes the whole
// process now and then; a plain thread sleeping 10 ms at a time notes those freezes, and
// the "own" gaps leave them out, so the program's own stalls can be told from the machine's.
#pragma once

#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

class StallMeter {
 public:
  StallMeter() {
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { m_ticks.push_back(Clock::now()); });
  }
  ~StallMeter() { StopControl(); }

  void Start() {
    m_ticks = {Clock::now()};
    m_bRunning = true;
    m_control = std::thread([this] {
      while (m_bRunning) {
        const Clock::time_point due = Clock::now() + kPeriod;
        std::this_thread::sleep_until(due);
        const Clock::time_point now = Clock::now();
        // Woken later than due: the process was frozen from `due` to now.
        if (now - due > std::chrono::milliseconds(1)) {
          std::lock_guard<std::mutex> lock(m_mutex);
          m_freezes.push_back({due, now});
        }
      }
    });
    m_timer.start(static_cast<int>(kPeriod.count()));
  }

  void Stop() {
    m_ticks.push_back(Clock::now());
    m_timer.stop();
    StopControl();
  }

  // The largest gap between ticks.
  double LargestGapMs() const {
    double largest = 0;
    for (std::size_t i = 1; i < m_ticks.size(); ++i) largest = std::max(largest, Ms(m_ticks[i] - m_ticks[i - 1]));
    return largest;
  }

  // The largest gap less the machine's freezes within it.
  double LargestOwnGapMs() const {
    double largest = 0;
    for (std::size_t i = 1; i < m_ticks.size(); ++i) {
      const Clock::time_point from = m_ticks[i - 1], to = m_ticks[i];
      Clock::duration frozen{};
      for (const auto& [start, end] : m_freezes)
        if (start < to && end > from) frozen += std::min(end, to) - std::max(start, from);
      largest = std::max(largest, Ms(to - from - frozen));
    }
    return largest;
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kPeriod{10};

  static double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

  void StopControl() {
    m_bRunning = false;
    if (m_control.joinable()) m_control.join();
  }

  QTimer m_timer;
  std::vector<Clock::time_point> m_ticks;                              // the timer's
  std::atomic<bool> m_bRunning{false};
  std::thread m_control;
  std::mutex m_mutex;                                                  // guards m_freezes
  std::vector<std::pair<Clock::time_point, Clock::time_point>> m_freezes;  // the machine's
};
