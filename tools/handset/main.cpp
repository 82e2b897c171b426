// qvbook-handset: the handset on a pseudo-terminal. Prints the device path on its first
// line, then answers the PC until SIGINT or SIGTERM (or until a hang-up fault).
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "HandsetEmulator.h"
#include "HandsetOptions.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

bool LoadImage(const std::string& path, PhonebookImage& image) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size()));
  return static_cast<std::size_t>(in.gcount()) == image.size() && in.peek() == EOF;
}

// Writes a whole reply, waiting for the line up to two seconds at a time.
void WriteAll(int fd, const std::vector<uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return;
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, 2000) <= 0) return;  // nobody reads: drop the rest
  }
}

}  // namespace

int main(int argc, char** argv) {
  HandsetOptions options;
  std::string error;
  std::vector<std::string> args(argv + 1, argv + argc);
  for (const auto& arg : args) {
    if (arg == "--help" || arg == "-h") {
      std::fputs(kHandsetUsage, stdout);
      return 0;
    }
  }
  if (!ParseHandsetOptions(args, options, error)) {
    std::fprintf(stderr, "qvbook-handset: %s\n%s", error.c_str(), kHandsetUsage);
    return 64;
  }
  PhonebookImage image{};
  if (!options.imagePath.empty() && !LoadImage(options.imagePath, image)) {
    std::fprintf(stderr, "qvbook-handset: %s is not a 120000-byte phonebook image\n", options.imagePath.c_str());
    return 66;
  }

  int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::perror("qvbook-handset: pseudo-terminal");
    return 71;
  }
  std::string device = ptsname(master);
  // Holding the other end open ourselves keeps the line up between the PC's sessions.
  int keeper = open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios tio{};
  if (keeper < 0 || tcgetattr(keeper, &tio) != 0) {
    std::perror("qvbook-handset: pseudo-terminal");
    return 71;
  }
  cfmakeraw(&tio);
  tcsetattr(keeper, TCSANOW, &tio);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

  if (!options.linkPath.empty()) {
    unlink(options.linkPath.c_str());
    if (symlink(device.c_str(), options.linkPath.c_str()) != 0) {
      std::fprintf(stderr, "qvbook-handset: cannot link %s: %s\n", options.linkPath.c_str(), std::strerror(errno));
      return 73;
    }
  }
  std::printf("%s\n", device.c_str());
  std::fflush(stdout);

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  bool hungUp = false;
  CHandsetEmulator handset(options, image);
  handset.send = [&](const std::vector<uint8_t>& burst) {
    if (!hungUp) WriteAll(master, burst);
  };
  handset.log = [](const std::string& line) { std::fprintf(stderr, "handset: %s\n", line.c_str()); };
  handset.hangUp = [&] { hungUp = true; };

  std::vector<uint8_t> buffer(65536);
  while (!g_stop && !hungUp) {
    // A streaming handset writes whenever the line takes more, and still reads its input.
    pollfd p{master, static_cast<short>(POLLIN | (handset.Streaming() ? POLLOUT : 0)), 0};
    int n = poll(&p, 1, handset.MsUntilDue());
    if (n > 0 && (p.revents & POLLIN)) {
      ssize_t got = read(master, buffer.data(), buffer.size());
      if (got > 0) handset.Receive(std::span(buffer.data(), static_cast<std::size_t>(got)));
    }
    if (n > 0 && (p.revents & POLLOUT) && handset.Streaming()) {
      std::span<const uint8_t> bytes = handset.StreamBytes();
      ssize_t put = write(master, bytes.data(), bytes.size());
      if (put > 0) handset.StreamWritten(static_cast<std::size_t>(put));
    }
    handset.SendDue();
  }
  // A hang-up closes the line: the PC's reads fail from here on.
  close(master);
  close(keeper);
  if (!options.linkPath.empty()) unlink(options.linkPath.c_str());
  return 0;
}
