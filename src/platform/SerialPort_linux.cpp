// The serial device on Linux: termios for the line, poll() on the device and two eventfds
// for the reader thread's wake-ups, TIOCEXCL plus flock() so that no second program can
// open the port while we hold it.
#include "platform/SerialPort.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

std::string SerialDevicePath(const std::string& portName) {
  if (portName.find('/') != std::string::npos) return portName;
  return "/dev/" + portName;
}

namespace {

void Raise(int fd) {
  uint64_t one = 1;
  (void)!write(fd, &one, sizeof one);
}

void Drain(int fd) {
  uint64_t value;
  (void)!read(fd, &value, sizeof value);
}

// True for the errors of a device that has no modem lines (a pseudo-terminal).
bool NoModemLines(int error) { return error == ENOTTY || error == EINVAL || error == EIO; }

}  // namespace

SerialPort::SerialPort() {
  m_sendWake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  m_stopWake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

SerialPort::~SerialPort() {
  Close();
  if (m_sendWake >= 0) close(m_sendWake);
  if (m_stopWake >= 0) close(m_stopWake);
}

int SerialPort::Open(const std::string& path) {
  if (m_fd >= 0) return EBUSY;
  if (m_sendWake < 0 || m_stopWake < 0) return EMFILE;
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  if (!isatty(fd)) {
    close(fd);
    return ENOTTY;
  }
  // Programs that lock the port with flock() (and our own second instance) hold it too.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int error = errno == EWOULDBLOCK ? EBUSY : errno;
    close(fd);
    return error;
  }
  ioctl(fd, TIOCEXCL);
  m_fd = fd;
  return 0;
}

bool SerialPort::Close() {
  if (m_fd < 0) return true;
  ioctl(m_fd, TIOCNXCL);
  bool ok = close(m_fd) == 0;
  m_fd = -1;
  return ok;
}

bool SerialPort::Purge() { return m_fd >= 0 && tcflush(m_fd, TCIOFLUSH) == 0; }

bool SerialPort::ConfigureLine() {
  termios tio{};
  if (m_fd < 0 || tcgetattr(m_fd, &tio) != 0) return false;
  cfmakeraw(&tio);
  tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB);
  tio.c_cflag |= CS8 | CREAD | CLOCAL | CRTSCTS;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, B115200) != 0 || cfsetospeed(&tio, B115200) != 0) return false;
  return tcsetattr(m_fd, TCSANOW, &tio) == 0;
}

bool SerialPort::SetHardwareFlowControl(bool on) {
  termios tio{};
  if (m_fd < 0 || tcgetattr(m_fd, &tio) != 0) return false;
  if (on) {
    tio.c_cflag |= CRTSCTS;
  } else {
    tio.c_cflag &= ~CRTSCTS;
  }
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  return tcsetattr(m_fd, TCSANOW, &tio) == 0;
}

bool SerialPort::SetReadTimeouts(uint32_t, uint32_t, uint32_t) { return m_fd >= 0; }

bool SerialPort::SetDtr(bool on) {
  if (m_fd < 0) return false;
  int bits = TIOCM_DTR;
  if (ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0) return true;
  return NoModemLines(errno);
}

void SerialPort::RaiseSendRequest() { Raise(m_sendWake); }
void SerialPort::RaiseStop() { Raise(m_stopWake); }
void SerialPort::ResetStop() { Drain(m_stopWake); }

bool SerialPort::StopRaised() const {
  pollfd p{m_stopWake, POLLIN, 0};
  return poll(&p, 1, 0) > 0;
}

SerialPort::Wake SerialPort::WaitReadable(int timeoutMs) {
  pollfd set[3] = {{m_fd, POLLIN, 0}, {m_sendWake, POLLIN, 0}, {m_stopWake, POLLIN, 0}};
  int n = poll(set, 3, timeoutMs);
  if (n < 0) return errno == EINTR ? Wake::Timeout : Wake::Failed;
  if (n == 0) return Wake::Timeout;
  // The device first, so that a reply is never held up by our own sending.
  if (set[0].revents & (POLLIN | POLLHUP | POLLERR)) return Wake::Readable;
  if (set[0].revents & POLLNVAL) return Wake::Failed;
  if (set[1].revents & POLLIN) {
    Drain(m_sendWake);
    return Wake::SendRequest;
  }
  return Wake::Stop;
}

SerialPort::Wake SerialPort::WaitWritable() {
  for (;;) {
    pollfd set[2] = {{m_fd, POLLOUT, 0}, {m_stopWake, POLLIN, 0}};
    int n = poll(set, 2, -1);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Wake::Failed;
    }
    if (set[1].revents & POLLIN) return Wake::Stop;
    if (set[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return Wake::Failed;
    if (set[0].revents & POLLOUT) return Wake::Writable;
  }
}

long SerialPort::Read(uint8_t* buffer, std::size_t capacity) {
  ssize_t n = read(m_fd, buffer, capacity);
  if (n > 0) return n;
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
  return -1;  // 0 from a terminal is a hang-up; anything else failed
}

long SerialPort::Write(const uint8_t* bytes, std::size_t count) {
  ssize_t n = write(m_fd, bytes, count);
  if (n >= 0) return n;
  if (errno == EAGAIN || errno == EINTR) return 0;
  return -1;
}
