// The serial channel on real pseudo-terminals: line set-up, order of writes, chunks by
// bursts, the receive signal, hang-ups and closing while the reader is busy.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "CountingCtrl.h"
#include "PtyPair.h"
#include "comm/UtiCtrl.h"
#include "comm/WDataQueue.h"
#include "platform/SerialPort.h"

using namespace std::chrono_literals;

namespace {

std::string Text(const uint8_t* bytes, uint32_t count) { return std::string(bytes, bytes + count); }

// Waits for one chunk and returns it as text ("<rc>" on failure).
std::string Reply(CUtiCtrl& ctrl, int timeoutMs = 1000, uint32_t capacity = 255) {
  std::vector<uint8_t> buffer(capacity);
  uint32_t count = capacity;
  int rc = ctrl.WaitReply(count, buffer.data(), timeoutMs);
  return rc == UtiOk ? Text(buffer.data(), count) : "<" + std::to_string(rc) + ">";
}

class ChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(pty.Path().empty());
    ctrl.SetOpenRetryPause(50);
    ASSERT_EQ(UtiOk, ctrl.Open(pty.Path()));
  }
  PtyPair pty;
  CountingCtrl ctrl;
};

}  // namespace

TEST(DataQueue, KeepsChunksInOrderAndHandsThemOver) {
  CWDataQueue queue;
  const uint8_t a[] = {1, 2}, b[] = {3};
  queue.PushBack(a, 2);
  queue.PushBack(b, 1);
  ByteChunk chunk;
  ASSERT_TRUE(queue.PopFront(chunk));
  EXPECT_EQ(ByteChunk({1, 2}), chunk);
  ASSERT_TRUE(queue.PopFront(chunk));
  EXPECT_EQ(ByteChunk({3}), chunk);
  EXPECT_FALSE(queue.PopFront(chunk));
  EXPECT_TRUE(queue.IsEmpty());
}

TEST(SerialDevicePath, BareNamesLiveUnderDev) {
  EXPECT_EQ("/dev/ttyACM0", SerialDevicePath("ttyACM0"));
  EXPECT_EQ("/dev/pts/3", SerialDevicePath("/dev/pts/3"));
  EXPECT_EQ("./link", SerialDevicePath("./link"));
}

TEST(Channel, ClosedChannelRefusesEverythingWithItsCodes) {
  CUtiCtrl ctrl;
  uint8_t buffer[8];
  uint32_t count = sizeof buffer;
  EXPECT_EQ(CommWriteClosed, ctrl.WriteData(1, buffer));
  EXPECT_EQ(CommReadClosed, ctrl.ReadData(count, buffer));
  EXPECT_EQ(UtiWriteRefused, ctrl.SendText("AT\r"));
  EXPECT_EQ(UtiTimeout, ctrl.WaitReply(count, buffer, 10));
  EXPECT_EQ(CommOk, ctrl.ClosePort());
  EXPECT_EQ(CommOk, ctrl.ClosePort());
  EXPECT_EQ(UtiOk, ctrl.Close());
}

TEST(Channel, MissingDeviceFailsAfterOneRetry) {
  CUtiCtrl ctrl;
  ctrl.SetOpenRetryPause(300);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(UtiOpenFailed, ctrl.Open("/dev/qvbook-no-such-port"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_EQ(ENOENT, ctrl.LastOpenError());
  EXPECT_FALSE(ctrl.IsOpen());
}

TEST(Channel, PortHeldByAnotherChannelIsBusy) {
  PtyPair pty;
  CUtiCtrl holder, other;
  ASSERT_EQ(UtiOk, holder.Open(pty.Path()));
  other.SetOpenRetryPause(50);
  EXPECT_EQ(UtiOpenFailed, other.Open(pty.Path()));
  EXPECT_EQ(EBUSY, other.LastOpenError());
  ASSERT_EQ(UtiOk, holder.Close());
  EXPECT_EQ(UtiOk, other.Open(pty.Path()));  // free again once closed
}

TEST(Channel, OpenOnAnOpenChannelReopensIt) {
  PtyPair pty;
  CWCommCtrl ctrl;
  ctrl.SetOpenRetryPause(50);
  ASSERT_EQ(CommOk, ctrl.OpenPort(pty.Path()));
  EXPECT_EQ(CommOk, ctrl.OpenPort(pty.Path()));
  EXPECT_TRUE(ctrl.IsOpen());
}

TEST_F(ChannelTest, WritesArriveInOrder) {
  ctrl.SendText("first-");
  ctrl.SendText("second-");
  std::vector<uint8_t> big(20000, 'x');
  ctrl.SendBytes(big);
  ctrl.SendText("-last");
  std::string got;
  while (got.size() < 13 + big.size() + 5) {
    auto part = pty.Read(100, 3000);
    if (part.empty()) break;
    got.append(part.begin(), part.end());
  }
  EXPECT_EQ("first-second-" + std::string(20000, 'x') + "-last", got);
}

TEST_F(ChannelTest, OneBurstIsOneChunkAndPausesSplitChunks) {
  pty.Write("OK\r\n");
  pty.Write("more of the same burst");
  EXPECT_EQ("OK\r\nmore of the same burst", Reply(ctrl));
  pty.Write("one");
  ctrl.WaitForChunks(2);  // the pause ends the chunk
  pty.Write("two");
  ctrl.WaitForChunks(3);
  // Two chunks, but the receive signal was raised once: the second waits for a later one.
  EXPECT_EQ("one", Reply(ctrl));
  EXPECT_EQ("<5>", Reply(ctrl, 100));
  pty.Write("three");
  EXPECT_EQ("two", Reply(ctrl));
  EXPECT_EQ("<5>", Reply(ctrl, 100));  // "three" waits in turn
  pty.Write("four");
  EXPECT_EQ("three", Reply(ctrl));
}

TEST_F(ChannelTest, LateReplyIsReturnedByTheNextWaitAtOnce) {
  EXPECT_EQ("<5>", Reply(ctrl, 50));
  pty.Write("late");
  ctrl.WaitForChunks(1);
  EXPECT_EQ("late", Reply(ctrl, 0));  // a wait that does not wait finds it
}

TEST_F(ChannelTest, LongChunkIsCutToTheCallersCapacity) {
  pty.Write(std::string(300, 'a'));
  EXPECT_EQ(std::string(255, 'a'), Reply(ctrl));
}

TEST_F(ChannelTest, LargeBurstStaysWholeUpToTheReadSize) {
  std::string burst(kMaxChunkBytes + 100, 'b');
  std::thread writer([&] { pty.Write(burst); });
  std::string first = Reply(ctrl, 3000, kMaxChunkBytes);
  std::string second = Reply(ctrl, 3000, kMaxChunkBytes);
  writer.join();
  EXPECT_EQ(kMaxChunkBytes, first.size());
  EXPECT_EQ(100u, second.size());
}

TEST_F(ChannelTest, HangUpEndsTheReaderAndLaterWaitsAtOnce) {
  pty.Write("last words");
  EXPECT_EQ("last words", Reply(ctrl));
  pty.HangUp();
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ("<5>", Reply(ctrl, 60000));  // no reply can come any more
  EXPECT_TRUE(ctrl.LineDown());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  EXPECT_EQ(UtiOk, ctrl.SendText("AT\r"));  // queued; the reader has ended
  // The device can no longer be purged: reported, but the channel is closed all the same.
  EXPECT_EQ(UtiCloseFailed, ctrl.Close());
  EXPECT_FALSE(ctrl.IsOpen());
  EXPECT_EQ(UtiOk, ctrl.Close());
}

TEST_F(ChannelTest, CloseWhileReadingAndWritingReturnsPromptly) {
  std::atomic<bool> stop{false};
  std::thread noise([&] {
    while (!stop) {
      pty.Write("noise");
      std::this_thread::sleep_for(1ms);
    }
  });
  std::vector<uint8_t> big(100000, 'z');
  ctrl.SendBytes(big);  // far more than the line takes while nobody reads it
  std::this_thread::sleep_for(50ms);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(UtiOk, ctrl.Close());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);  // returns at all: no deadlock
  stop = true;
  noise.join();
  EXPECT_FALSE(ctrl.IsOpen());
  uint8_t buffer[4];
  uint32_t count = sizeof buffer;
  EXPECT_EQ(CommReadClosed, ctrl.ReadData(count, buffer));
}

// Replies, pauses and the pause before the open's retry, until cleared.
TEST_F(ChannelTest, InterruptedWaitsGiveUpAtOnceUntilCleared) {
  auto start = std::chrono::steady_clock::now();
  ctrl.InterruptWaits(true);
  pty.Write("x");
  ctrl.WaitForChunks(1);
  EXPECT_EQ("<5>", Reply(ctrl, 60000));
  EXPECT_FALSE(ctrl.Pause(60000));
  CUtiCtrl missing;
  missing.SetOpenRetryPause(60000);
  missing.InterruptWaits(true);
  EXPECT_EQ(UtiOpenFailed, missing.Open("/dev/qvbook-no-such-port"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  ctrl.InterruptWaits(false);
  EXPECT_EQ("x", Reply(ctrl));
}

// A device talking without pause to nobody: the queue stays within its bound, reports the
// overflow, and holds nothing more while the flood goes on.
TEST_F(ChannelTest, DeviceTalkingWithoutEndOverflowsTheBoundedQueue) {
  std::atomic<bool> stop{false};
  std::thread flood([&] {
    while (!stop) pty.Write(std::string(4096, 'f'));
  });
  std::size_t most = 0;
  for (int i = 0; i < 1000 && !ctrl.ReceiveOverflowed(); ++i, std::this_thread::sleep_for(5ms))
    most = std::max(most, ctrl.ReceiveQueueBytes());
  EXPECT_LE(most, kMaxQueuedBytes);
  EXPECT_EQ("<4>", Reply(ctrl, 3000));
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(0u, ctrl.ReceiveQueueBytes());
  stop = true;
  flood.join();  // its last write completes: the reader goes on reading and dropping
}
