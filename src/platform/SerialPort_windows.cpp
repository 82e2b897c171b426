// The serial device on Windows: the port file opened for overlapped I/O, the line set
// through its DCB and COMMTIMEOUTS, and one wait over the overlapped read and line-event
// records and the two wake-ups (send request, stop). Reads run through the driver with
// the channel's time-outs, so a read completes with one burst; writes go from a buffer of
// our own, so that no caller's memory is ever left to a pending write.
#include "platform/SerialPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "platform/WindowsApi.h"

std::string SerialDevicePath(const std::string& portName) {
  // A name such as "COM12" is reached through the device namespace; a path that begins
  // with "\\.\COM" is one already.
  if (portName.compare(0, 7, "\\\\.\\COM") == 0) return portName;
  return "\\\\.\\" + portName;
}

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kReadSize = 32768;   // one read request
constexpr DWORD kQueueSize = 1024;   // the driver's queues, each way
constexpr DWORD kLineEvents = EV_CTS | EV_DSR | EV_RLSD | EV_BREAK | EV_ERR | EV_RING;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr DWORD kEmptyReadPauseMs = 10;  // after a read that completed with no bytes
constexpr DWORD kOpenTimeoutMs = 5;      // the read interval until the channel sets its own

HANDLE NewEvent(bool manualReset) { return CreateEventA(nullptr, manualReset, FALSE, nullptr); }

int ErrnoOfOpenFailure(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return EBUSY;  // another program holds the port
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    default:
      return EIO;
  }
}

// Errors of a device without modem lines (a port that Wine maps to a pseudo-terminal).
bool NoModemLines(DWORD error) {
  return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER || error == ERROR_GEN_FAILURE ||
         error == ERROR_INVALID_FUNCTION;
}

}  // namespace

struct SerialPort::Overlapped {
  HANDLE device = INVALID_HANDLE_VALUE;
  HANDLE sendRequest = NewEvent(false);  // auto reset: consumed by the wait that sees it
  HANDLE stop = NewEvent(true);          // manual reset: stays raised until ResetStop
  OVERLAPPED read{};                     // each record with a manual-reset event
  OVERLAPPED write{};
  OVERLAPPED lineEvent{};
  std::vector<uint8_t> readBuffer = std::vector<uint8_t>(kReadSize);
  DWORD readFilled = 0;         // bytes the last read brought
  DWORD readTaken = 0;          // of those, handed out by Read
  bool readPending = false;
  std::vector<uint8_t> writeBuffer;
  bool writePending = false;
  DWORD writeCompleted = 0;     // bytes a pending write finished with, for the next Write
  DWORD lineMask = 0;
  bool lineWaitPending = false;
  bool watchLine = true;        // false once the device turned the line-event wait down

  Overlapped() {
    read.hEvent = NewEvent(true);
    write.hEvent = NewEvent(true);
    lineEvent.hEvent = NewEvent(true);
  }
  ~Overlapped() {
    for (HANDLE event : {sendRequest, stop, read.hEvent, write.hEvent, lineEvent.hEvent})
      if (event) CloseHandle(event);
  }
  Overlapped(const Overlapped&) = delete;
  Overlapped& operator=(const Overlapped&) = delete;

  bool Ready() const { return sendRequest && stop && read.hEvent && write.hEvent && lineEvent.hEvent; }

  // Cancels an I/O still pending on `record` and waits until the driver let go of it.
  void Cancel(OVERLAPPED& record, bool& pending) {
    if (!pending) return;
    CancelIoEx(device, &record);
    DWORD ignored = 0;
    GetOverlappedResult(device, &record, &ignored, TRUE);
    ResetEvent(record.hEvent);
    pending = false;
  }

  void ForgetReceived() { readFilled = readTaken = 0; }
};

SerialPort::SerialPort() : m_pOverlapped(new Overlapped) {}

SerialPort::~SerialPort() {
  Close();
  delete m_pOverlapped;
}

int SerialPort::Open(const std::string& path) {
  Overlapped& o = *m_pOverlapped;
  if (m_fd >= 0) return EBUSY;
  if (!o.Ready()) return EMFILE;
  // No sharing: while we hold the port no other program can open it.
  const HANDLE device = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED, nullptr);
  if (device == INVALID_HANDLE_VALUE) return ErrnoOfOpenFailure(GetLastError());
  o.device = device;
  o.ForgetReceived();
  o.writeCompleted = 0;
  o.watchLine = true;
  m_fd = 0;
  return 0;
}

bool SerialPort::Close() {
  if (m_fd < 0) return true;
  Overlapped& o = *m_pOverlapped;
  o.Cancel(o.read, o.readPending);
  o.Cancel(o.write, o.writePending);
  o.Cancel(o.lineEvent, o.lineWaitPending);
  const bool ok = CloseHandle(o.device) != 0;
  o.device = INVALID_HANDLE_VALUE;
  o.ForgetReceived();
  m_fd = -1;
  return ok;
}

bool SerialPort::Purge() {
  if (m_fd < 0) return false;
  m_pOverlapped->ForgetReceived();
  return PurgeComm(m_pOverlapped->device, kPurgeAll) != 0;
}

bool SerialPort::ConfigureLine() {
  if (m_fd < 0) return false;
  const HANDLE device = m_pOverlapped->device;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(device, &dcb)) return false;
  dcb.BaudRate = CBR_115200;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fOutxCtsFlow = 1;
  dcb.fOutxDsrFlow = 0;
  dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fInX = 0;
  dcb.fOutX = 0;
  dcb.fNull = 0;
  if (!SetCommState(device, &dcb)) return false;
  COMMCONFIG config{};
  DWORD configSize = sizeof config;
  if (!GetCommConfig(device, &config, &configSize)) return false;
  COMMTIMEOUTS timeouts{};
  GetCommTimeouts(device, &timeouts);
  timeouts = COMMTIMEOUTS{kOpenTimeoutMs, 0, 0, 0, 0};
  if (!SetCommTimeouts(device, &timeouts)) return false;
  if (!SetupComm(device, kQueueSize, kQueueSize)) return false;
  if (!SetCommMask(device, kLineEvents)) return false;
  return EscapeCommFunction(device, RESETDEV) != 0 || NoModemLines(GetLastError());
}

bool SerialPort::SetHardwareFlowControl(bool on) {
  if (m_fd < 0) return false;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(m_pOverlapped->device, &dcb)) return false;
  dcb.fOutxCtsFlow = on ? 1 : 0;
  dcb.fOutxDsrFlow = 0;
  dcb.fDsrSensitivity = 0;
  dcb.fRtsControl = on ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fInX = 0;
  dcb.fOutX = 0;
  return SetCommState(m_pOverlapped->device, &dcb) != 0;
}

bool SerialPort::SetReadTimeouts(uint32_t intervalMs, uint32_t totalMultiplierMs, uint32_t totalConstantMs) {
  if (m_fd < 0) return false;
  COMMTIMEOUTS timeouts{intervalMs, totalMultiplierMs, totalConstantMs, 0, 0};
  return SetCommTimeouts(m_pOverlapped->device, &timeouts) != 0;
}

bool SerialPort::SetDtr(bool on) {
  if (m_fd < 0) return false;
  return EscapeCommFunction(m_pOverlapped->device, on ? SETDTR : CLRDTR) != 0 || NoModemLines(GetLastError());
}

void SerialPort::RaiseSendRequest() { SetEvent(m_pOverlapped->sendRequest); }
void SerialPort::RaiseStop() { SetEvent(m_pOverlapped->stop); }
void SerialPort::ResetStop() { ResetEvent(m_pOverlapped->stop); }

bool SerialPort::StopRaised() const { return WaitForSingleObject(m_pOverlapped->stop, 0) == WAIT_OBJECT_0; }

SerialPort::Wake SerialPort::WaitReadable(int timeoutMs) {
  if (m_fd < 0) return Wake::Failed;
  Overlapped& o = *m_pOverlapped;
  const Clock::time_point deadline =
      timeoutMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (o.readTaken < o.readFilled) return Wake::Readable;
    if (!o.readPending) {
      ResetEvent(o.read.hEvent);
      DWORD n = 0;
      if (ReadFile(o.device, o.readBuffer.data(), kReadSize, &n, &o.read)) {
        o.readFilled = n;
        o.readTaken = 0;
        if (n > 0) return Wake::Readable;
      } else if (GetLastError() == ERROR_IO_PENDING) {
        o.readPending = true;
      } else {
        return Wake::Failed;  // the device failed or went away
      }
    }
    if (o.watchLine && !o.lineWaitPending) {
      ResetEvent(o.lineEvent.hEvent);
      if (!WaitCommEvent(o.device, &o.lineMask, &o.lineEvent)) {
        if (GetLastError() == ERROR_IO_PENDING) o.lineWaitPending = true;
        else o.watchLine = false;  // the device reports no line events
      }
    }

    enum Source { Read, Line, Send, Stop };
    HANDLE handles[4];
    Source sources[4];
    DWORD count = 0;
    // The device first, so that a reply is never held up by our own sending.
    if (o.readPending) handles[count] = o.read.hEvent, sources[count++] = Read;
    if (o.lineWaitPending) handles[count] = o.lineEvent.hEvent, sources[count++] = Line;
    handles[count] = o.sendRequest, sources[count++] = Send;
    handles[count] = o.stop, sources[count++] = Stop;

    DWORD waitMs = INFINITE;
    if (deadline != Clock::time_point::max()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      waitMs = static_cast<DWORD>(std::clamp<long long>(left, 0, INFINITE - 1));
    }
    if (!o.readPending) waitMs = std::min(waitMs, kEmptyReadPauseMs);
    const DWORD result = WaitForMultipleObjects(count, handles, FALSE, waitMs);
    if (result == WAIT_TIMEOUT) {
      if (Clock::now() >= deadline) return Wake::Timeout;
      continue;
    }
    if (result >= WAIT_OBJECT_0 + count) return Wake::Failed;
    switch (sources[result - WAIT_OBJECT_0]) {
      case Read: {
        DWORD n = 0;
        const bool ok = GetOverlappedResult(o.device, &o.read, &n, FALSE) != 0;
        const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
        o.readPending = false;
        ResetEvent(o.read.hEvent);
        if (ok) {
          o.readFilled = n;
          o.readTaken = 0;
        } else if (error != ERROR_OPERATION_ABORTED) {  // aborted by a purge: read again
          return Wake::Failed;
        }
        break;
      }
      case Line: {
        DWORD ignored = 0;
        GetOverlappedResult(o.device, &o.lineEvent, &ignored, FALSE);
        o.lineWaitPending = false;
        ResetEvent(o.lineEvent.hEvent);
        if (o.lineMask & EV_RING) {
          DWORD status = 0;
          GetCommModemStatus(o.device, &status);  // looked at, acted on by nothing
        }
        break;
      }
      case Send:
        return Wake::SendRequest;
      case Stop:
        return Wake::Stop;
    }
    if (o.readTaken == o.readFilled && Clock::now() >= deadline) return Wake::Timeout;
  }
}

SerialPort::Wake SerialPort::WaitWritable() {
  if (m_fd < 0) return Wake::Failed;
  Overlapped& o = *m_pOverlapped;
  if (!o.writePending) return Wake::Writable;
  HANDLE handles[2] = {o.write.hEvent, o.stop};
  const DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
  if (result == WAIT_OBJECT_0) {
    DWORD n = 0;
    const bool ok = GetOverlappedResult(o.device, &o.write, &n, FALSE) != 0;
    o.writePending = false;
    ResetEvent(o.write.hEvent);
    if (!ok || n == 0) return Wake::Failed;
    o.writeCompleted = n;
    return Wake::Writable;
  }
  o.Cancel(o.write, o.writePending);
  o.writeCompleted = 0;
  return result == WAIT_OBJECT_0 + 1 ? Wake::Stop : Wake::Failed;
}

long SerialPort::Read(uint8_t* buffer, std::size_t capacity) {
  if (m_fd < 0) return -1;
  Overlapped& o = *m_pOverlapped;
  const std::size_t n = std::min<std::size_t>(o.readFilled - o.readTaken, capacity);
  std::memcpy(buffer, o.readBuffer.data() + o.readTaken, n);
  o.readTaken += static_cast<DWORD>(n);
  if (o.readTaken == o.readFilled) o.ForgetReceived();
  return static_cast<long>(n);
}

long SerialPort::Write(const uint8_t* bytes, std::size_t count) {
  if (m_fd < 0) return -1;
  Overlapped& o = *m_pOverlapped;
  if (o.writeCompleted > 0) {  // the pending write of these same bytes has finished
    const long n = static_cast<long>(std::min<std::size_t>(o.writeCompleted, count));
    o.writeCompleted = 0;
    return n;
  }
  if (o.writePending) return 0;
  const DWORD size = static_cast<DWORD>(std::min<std::size_t>(count, kReadSize));
  o.writeBuffer.assign(bytes, bytes + size);
  ResetEvent(o.write.hEvent);
  DWORD n = 0;
  if (WriteFile(o.device, o.writeBuffer.data(), size, &n, &o.write)) return static_cast<long>(n);
  if (GetLastError() != ERROR_IO_PENDING) return -1;
  o.writePending = true;
  return 0;
}
