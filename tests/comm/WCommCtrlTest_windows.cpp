// The serial channel on Windows, through a COM port that Wine maps onto the pseudo-terminal
// of the handset emulator (tests/comm/with-handset.sh starts it and names the port in
// QVBOOK_HANDSET_PORT). Without the emulator only the port-name rule is tested.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "CountingCtrl.h"
#include "comm/UtiCtrl.h"
#include "platform/SerialPort.h"
#include "platform/WindowsApi.h"

namespace {

const char* HandsetPort() { return std::getenv("QVBOOK_HANDSET_PORT"); }

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST(SerialDevicePathWindows, NamesAreReachedThroughTheDeviceNamespace) {
  EXPECT_EQ(SerialDevicePath("COM3"), "\\\\.\\COM3");
  EXPECT_EQ(SerialDevicePath("COM12"), "\\\\.\\COM12");
  EXPECT_EQ(SerialDevicePath("\\\\.\\COM12"), "\\\\.\\COM12");
  EXPECT_EQ(SerialDevicePath("CNCA0"), "\\\\.\\CNCA0");
}

TEST(ChannelWindows, MissingPortFailsAfterOneRetry) {
  CUtiCtrl ctrl;
  ctrl.SetOpenRetryPause(50);
  EXPECT_EQ(ctrl.Open("COM250"), UtiOpenFailed);
  EXPECT_FALSE(ctrl.IsOpen());
  EXPECT_EQ(ctrl.Close(), UtiOk) << "closing a closed channel is fine";
}

class HandsetChannel : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HandsetPort()) GTEST_SKIP() << "no handset emulator behind a COM port";
    ASSERT_EQ(m_ctrl.Open(HandsetPort()), UtiOk);
  }

  std::string Reply(int timeoutMs = 2000) {
    uint8_t buffer[kCommandReplyCapacity];
    uint32_t count = sizeof buffer;
    const int result = m_ctrl.WaitReply(count, buffer, timeoutMs);
    if (result != UtiOk) return "<" + std::to_string(result) + ">";
    return std::string(buffer, buffer + count);
  }

  CountingCtrl m_ctrl;
};

TEST_F(HandsetChannel, WakeUpIsAnsweredAsOneChunk) {
  EXPECT_EQ(m_ctrl.PortPath(), "\\\\.\\" + std::string(HandsetPort()));
  ASSERT_EQ(m_ctrl.SendText("AT\r"), UtiOk);
  EXPECT_EQ(Reply(), "OK\r\n");
  EXPECT_EQ(Reply(100), "<5>") << "nothing more arrives";
}

TEST_F(HandsetChannel, WritesArriveInOrder) {
  // The handset answers only a whole "AT\r": the parts must reach it in this order.
  ASSERT_EQ(m_ctrl.SendText("A"), UtiOk);
  ASSERT_EQ(m_ctrl.SendText("T"), UtiOk);
  ASSERT_EQ(m_ctrl.SendText("\r"), UtiOk);
  EXPECT_EQ(Reply(), "OK\r\n");
}

TEST_F(HandsetChannel, LateReplyIsReturnedByTheNextWaitAtOnce) {
  ASSERT_EQ(m_ctrl.SendText("AT\r"), UtiOk);
  EXPECT_EQ(Reply(0), "<5>");
  m_ctrl.WaitForChunks(1);
  EXPECT_EQ(Reply(0), "OK\r\n") << "a wait that does not wait finds it";
}

TEST_F(HandsetChannel, PortHeldByThisChannelIsBusyForAnother) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine lets a serial port be opened twice";
  CUtiCtrl other;
  other.SetOpenRetryPause(50);
  EXPECT_EQ(other.Open(HandsetPort()), UtiOpenFailed);
  EXPECT_EQ(m_ctrl.Close(), UtiOk);
  EXPECT_EQ(other.Open(HandsetPort()), UtiOk) << "free again once closed";
  ASSERT_EQ(other.SendText("AT\r"), UtiOk);
  uint8_t buffer[kCommandReplyCapacity];
  uint32_t count = sizeof buffer;
  EXPECT_EQ(other.WaitReply(count, buffer, 2000), UtiOk);
}

TEST_F(HandsetChannel, OpenOnAnOpenChannelReopensIt) {
  m_ctrl.SetOpenRetryPause(50);
  EXPECT_EQ(m_ctrl.OpenPort(HandsetPort()), CommOk);
  EXPECT_TRUE(m_ctrl.IsOpen());
  ASSERT_EQ(m_ctrl.SendText("AT\r"), UtiOk);
  EXPECT_EQ(Reply(), "OK\r\n");
}

TEST_F(HandsetChannel, CloseWithAPendingReadReturnsPromptly) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(m_ctrl.Close(), UtiOk);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));  // no deadlock
  EXPECT_FALSE(m_ctrl.IsOpen());
  EXPECT_EQ(m_ctrl.SendText("AT\r"), UtiWriteRefused);
}

}  // namespace
