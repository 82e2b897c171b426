// The handset controller's open, close, send and wait operations and its port search.
#include "comm/UtiCtrl.h"

#include <cstdlib>

#include "comm/PortDiscovery.h"
#include "platform/UsbPortLookup.h"

namespace {

constexpr CommTimeouts kHandsetTimeouts{20, 1, 0, 0, 0};

}  // namespace

CUtiCtrl::~CUtiCtrl() {
  // The reader thread must be gone before this part of the object is.
  if (m_bReceiveSignal) Close();
  ClosePort();
}

void CUtiCtrl::RaiseReceiveSignal(void* user, uint32_t) {
  static_cast<CUtiCtrl*>(user)->m_receiveSignal.Raise();
}

int CUtiCtrl::Open(const std::string& portName) {
  // The signal is a plain object here and cannot fail to exist (UtiNoSignal never occurs).
  m_bReceiveSignal = true;
  m_receiveSignal.Reset();
  SetReceiveCallback(&CUtiCtrl::RaiseReceiveSignal, this);
  if (OpenPort(portName) != CommOk) {
    m_bReceiveSignal = false;
    return UtiOpenFailed;
  }
  if (SetFlowControl(FlowHardware) != CommOk) return UtiLineSetupFailed;
  if (SetTimeouts(kHandsetTimeouts) != CommOk) return UtiLineSetupFailed;
  return UtiOk;
}

int CUtiCtrl::Close() {
  if (ClosePort() != CommOk) return UtiCloseFailed;
  m_bReceiveSignal = false;
  return UtiOk;
}

int CUtiCtrl::SendText(std::string_view text) {
  text = text.substr(0, kMaxSendText);
  return SendBytes(static_cast<uint32_t>(text.size()), reinterpret_cast<const uint8_t*>(text.data()));
}

int CUtiCtrl::SendBytes(uint32_t count, const uint8_t* bytes) {
  return WriteData(count, bytes) == CommOk ? UtiOk : UtiWriteRefused;
}

int CUtiCtrl::WaitReply(uint32_t& count, uint8_t* buffer, int timeoutMs) {
  // A line that is down brings nothing more: take what was signalled already, else give up.
  if (!m_bReceiveSignal || !m_receiveSignal.Wait(LineDown() ? 0 : timeoutMs)) return UtiTimeout;
  const int read = ReadData(count, buffer);
  if (read == CommOk) return UtiOk;
  return read == CommNoChunk && LineDown() ? UtiTimeout : UtiNoChunk;
}

void CUtiCtrl::InterruptWaits(bool interrupt) {
  m_receiveSignal.SetInterrupted(interrupt);
  InterruptPauses(interrupt);
}

void CUtiCtrl::OnLineDown() { m_receiveSignal.Raise(); }

int CUtiCtrl::FindHandsetPort(std::string& portName) const {
  portName.clear();
  if (const char* named = std::getenv("QVBOOK_PORT"); named && *named) {
    portName = named;
    return UtiFound;
  }
  return FindHandsetAmong(ListSerialPorts(m_strSysfsRoot), portName) ? UtiFound : UtiNotFound;
}
