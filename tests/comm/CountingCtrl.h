// A handset controller that counts the chunks its reader delivered, so that a test waits
// for them instead of sleeping and hoping they came.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "comm/UtiCtrl.h"

class CountingCtrl : public CUtiCtrl {
 public:
  ~CountingCtrl() override { Close(); }

  // Waits (up to five seconds) until `n` chunks have arrived in all.
  void WaitForChunks(int n) {
    for (int i = 0; i < 500 && m_chunks < n; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_GE(m_chunks, n);
  }

 protected:
  void OnReceive(uint32_t count) override {
    ++m_chunks;
    CUtiCtrl::OnReceive(count);
  }

 private:
  std::atomic<int> m_chunks{0};
};
