// A pseudo-terminal whose master end the test drives by hand: it plays the far end of a
// serial line byte for byte (bursts, silence, hang-up).
#pragma once

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <termios.h>
#include <unistd.h>
#include <vector>

class PtyPair {
 public:
  PtyPair() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return;
    m_path = ptsname(m_master);
    // Keep the line up while the channel under test opens and closes it.
    m_keeper = open(m_path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    tcgetattr(m_keeper, &tio);
    cfmakeraw(&tio);
    tcsetattr(m_keeper, TCSANOW, &tio);
  }
  ~PtyPair() {
    HangUp();
    if (m_keeper >= 0) close(m_keeper);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& Path() const { return m_path; }

  void Write(std::string_view bytes) { Write(std::vector<uint8_t>(bytes.begin(), bytes.end())); }
  void Write(const std::vector<uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = write(m_master, bytes.data() + done, bytes.size() - done);
      if (n > 0) done += static_cast<std::size_t>(n);
      else if (n < 0 && errno != EAGAIN && errno != EINTR) return;
    }
  }

  // Everything that arrives until `quietMs` pass without a byte (or `limitMs` in all).
  std::vector<uint8_t> Read(int quietMs = 100, int limitMs = 3000) {
    std::vector<uint8_t> got;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (std::chrono::steady_clock::now() < end) {
      pollfd p{m_master, POLLIN, 0};
      if (poll(&p, 1, got.empty() ? 50 : quietMs) <= 0) {
        if (!got.empty()) break;
        continue;
      }
      uint8_t buffer[4096];
      ssize_t n = read(m_master, buffer, sizeof buffer);
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

  // Closes the master end: the other end sees the line hang up.
  void HangUp() {
    if (m_master >= 0) close(m_master);
    m_master = -1;
  }

 private:
  int m_master = -1;
  int m_keeper = -1;
  std::string m_path;
};
