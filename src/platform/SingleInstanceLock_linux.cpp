// Linux backend of SingleInstanceLock: a socket bound to a name in the abstract namespace.
// The name is visible machine-wide (to every user), cannot be left behind on disk, and the
// kernel frees it when the holding process exits for any reason.
#include "platform/SingleInstanceLock.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

SingleInstanceLock::SingleInstanceLock(std::string name) : m_strName(std::move(name)) {}

SingleInstanceLock::~SingleInstanceLock() { Release(); }

bool SingleInstanceLock::Acquire() {
  if (Held()) return true;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // Abstract names start with a NUL byte; the rest need not be NUL-terminated.
  const std::string name = "qvbook:" + m_strName;
  const std::size_t room = sizeof(address.sun_path) - 1;
  const std::size_t length = name.size() < room ? name.size() : room;
  std::memcpy(address.sun_path + 1, name.data(), length);
  const socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);

  int handle = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (handle < 0) return false;
  if (::bind(handle, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
    ::close(handle);
    return false;
  }
  m_nHandle = handle;
  return true;
}

void SingleInstanceLock::Release() {
  if (m_nHandle >= 0) ::close(m_nHandle);
  m_nHandle = -1;
}
