// Linux backend of the standard streams: they are byte streams already; closed ones are
// taken up by /dev/null.
#include "platform/Console.h"

#include <fcntl.h>
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

}  // namespace platform
