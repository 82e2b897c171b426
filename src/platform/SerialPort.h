// A serial device as the channel's reader thread sees it: open it exclusively, set the
// line, and wait on it together with two wake-ups (send request, stop). One backend per
// operating system; this header has no system types in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The device path of a port name: a bare name such as "ttyACM0" is looked up under /dev,
// anything holding a '/' is taken as a path already.
std::string SerialDevicePath(const std::string& portName);

class SerialPort {
 public:
  SerialPort();
  ~SerialPort();  // closes the device and the wake-ups
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens the device for reading and writing, exclusively and without waiting.
  // 0 on success, else the system's error number (EBUSY when another program holds it).
  int Open(const std::string& path);
  bool IsOpen() const { return m_fd >= 0; }
  // Closes the device (dropping the exclusive hold first). False when the close failed.
  bool Close();

  bool Purge();                       // drops what waits in both directions
  bool ConfigureLine();               // 115200 baud, 8N1, raw bytes, RTS/CTS
  bool SetHardwareFlowControl(bool on);
  // Hands the read time-outs to the driver, where the system's reads apply them
  // (Windows); on Linux the reader thread applies them itself and this only accepts them.
  bool SetReadTimeouts(uint32_t intervalMs, uint32_t totalMultiplierMs, uint32_t totalConstantMs);
  // Raises or drops DTR. Devices that cannot report modem lines (a pseudo-terminal)
  // accept the request without effect.
  bool SetDtr(bool on);

  // Wake-ups for the reader thread, raised from any thread.
  void RaiseSendRequest();
  void RaiseStop();
  void ResetStop();
  bool StopRaised() const;

  enum class Wake { Readable, Writable, SendRequest, Stop, Timeout, Failed };
  // Waits for the device to be readable or a wake-up, up to timeoutMs (-1: no limit).
  // The stop wake-up stays raised until ResetStop; a send request is consumed.
  Wake WaitReadable(int timeoutMs);
  // Waits until the device takes more bytes; Stop or Failed when it cannot.
  Wake WaitWritable();

  // > 0 bytes read; 0 nothing waiting; -1 the device failed or hung up.
  long Read(uint8_t* buffer, std::size_t capacity);
  // >= 0 bytes written (0 when the device is full); -1 the device failed. After 0 and
  // WaitWritable, offer the same bytes again.
  long Write(const uint8_t* bytes, std::size_t count);

 private:
  struct Overlapped;     // Windows: the device handle, events and overlapped I/O records

  int m_fd = -1;         // the device (on Windows 0 while open)
  int m_sendWake = -1;   // eventfd: a chunk waits in the send queue
  int m_stopWake = -1;   // eventfd: the reader thread must end
  Overlapped* m_pOverlapped = nullptr;  // Windows only
};
