// Linux backend of the standard streams: they are byte streams already; closed ones are
// taken up by /dev/null.
#include "platform/Console.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool PrepareStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number: this one, as the lower ones are open by now. Inherited by
    // whatever the program starts, as a standard stream is.
    const int null = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
    if (null < 0) return false;
    if (null != fd) {
      const bool moved = ::dup2(null, fd) == fd;
      ::close(null);
      if (!moved) return false;
    }
  }
  return true;
}

bool StandardInputIsTerminal() { return ::isatty(0) == 1; }

bool ReadTypedLine(std::string& line, std::size_t limit, const std::function<bool()>& stopped) {
  line.clear();
  for (;;) {
    if (stopped()) return false;
    pollfd input{0, POLLIN, 0};
    const int ready = ::poll(&input, 1, 100);
    if (ready < 0 && errno != EINTR) return false;
    if (ready <= 0) continue;
    char byte = 0;
    const ssize_t got = ::read(0, &byte, 1);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) return false;
    if (byte == '\n') break;
    if (line.size() < limit) line.push_back(byte);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace platform
