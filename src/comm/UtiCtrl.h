// The handset controller: a serial channel with the handset's flow control and
// time-outs, a receive signal raised once per received chunk, and a blocking wait for
// the next chunk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "comm/AutoResetEvent.h"
#include "comm/WCommCtrl.h"

// Results of the controller's operations.
enum UtiResult : int {
  UtiOk = 0,
  UtiOpenFailed = 1,         // Open: OpenPort failed
  UtiCloseFailed = 2,        // Close: ClosePort failed
  UtiWriteRefused = 3,       // SendText, SendBytes: the port is closed
  UtiNoChunk = 4,            // WaitReply: signalled, but no chunk could be taken
  UtiTimeout = 5,            // WaitReply: no chunk within the time-out
  UtiFound = 9,              // FindHandsetPort
  UtiNotFound = 10,          // FindHandsetPort
  UtiNoSignal = 0x8001,      // Open: the receive signal cannot be created
  UtiLineSetupFailed = 0x8002  // Open: flow control or time-outs cannot be set
};

inline constexpr uint32_t kCommandReplyCapacity = 255;  // buffer for command replies
inline constexpr std::size_t kMaxSendText = 255;         // longest text SendText takes

class CUtiCtrl : public CWCommCtrl {
 public:
  CUtiCtrl() = default;
  ~CUtiCtrl() override;

  int Open(const std::string& portName);
  int Close();
  int SendText(std::string_view text);
  // Virtual so that a stand-in can play the handset's side (the download's fuzz test).
  virtual int SendBytes(uint32_t count, const uint8_t* bytes);
  int SendBytes(const std::vector<uint8_t>& bytes) {
    return SendBytes(static_cast<uint32_t>(bytes.size()), bytes.data());
  }
  // Waits for the next chunk. `count` gives the buffer's capacity and receives the length.
  // Gives up at once (5) when the line is down and nothing is left to take; 4 after the
  // receive queue overflowed.
  virtual int WaitReply(uint32_t& count, uint8_t* buffer, int timeoutMs);

  // The handset's port: QVBOOK_PORT when set, else the first serial device carrying the
  // handset's USB identifier. 9 and the name when found; 10 and an empty name otherwise.
  int FindHandsetPort(std::string& portName) const;
  // Where the device tree is looked up ("/sys"; tests give a fake tree).
  void SetSysfsRoot(std::string root) { m_strSysfsRoot = std::move(root); }

  // Makes every WaitReply, Pause and OpenPort's retry pause give up at once (true) until
  // cleared; lets another thread end a conversation that is waiting for the handset.
  void InterruptWaits(bool interrupt);

 protected:
  void OnLineDown() override;  // wakes a waiting WaitReply: no reply can come any more

 private:
  static void RaiseReceiveSignal(void* user, uint32_t count);

  CAutoResetEvent m_receiveSignal;   // raised once per received chunk
  bool m_bReceiveSignal = false;     // the signal is in use (between Open and Close)
  std::string m_strSysfsRoot = "/sys";
};
