// Linux backend of the slot counter: open-file-description locks (F_OFD_SETLK), which
// conflict between descriptors even inside one process, can be tested without being
// taken (F_OFD_GETLK), and vanish when the holding process ends.
#include "platform/SlotLock.h"

#include <fcntl.h>
#include <unistd.h>

#include <utility>

namespace platform {

namespace {

struct flock WholeFileLock(short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;  // to the end of the file, however long
  lock.l_pid = 0;  // required by the OFD commands
  return lock;
}

int OpenLockFile(const std::string& path) {
  return open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
}

}  // namespace

SlotLocks::SlotLocks(std::string folder, int count)
    : m_strFolder(std::move(folder)), m_heldFds(count > 0 ? count : 0, -1) {}

SlotLocks::~SlotLocks() {
  for (int slot = 0; slot < static_cast<int>(m_heldFds.size()); ++slot) Release(slot);
}

std::string SlotLocks::PathOf(int slot) const {
  return m_strFolder + "/slot" + std::to_string(slot) + ".lock";
}

int SlotLocks::Acquire() {
  if (m_strFolder.empty()) return -1;
  for (int slot = 0; slot < static_cast<int>(m_heldFds.size()); ++slot) {
    if (m_heldFds[slot] >= 0) continue;
    const int fd = OpenLockFile(PathOf(slot));
    if (fd < 0) continue;
    struct flock lock = WholeFileLock(F_WRLCK);
    if (fcntl(fd, F_OFD_SETLK, &lock) == 0) {
      m_heldFds[slot] = fd;
      return slot;
    }
    close(fd);
  }
  return -1;
}

void SlotLocks::Release(int slot) {
  if (slot < 0 || slot >= static_cast<int>(m_heldFds.size()) || m_heldFds[slot] < 0) return;
  close(m_heldFds[slot]);  // closing the only descriptor of the description drops the lock
  m_heldFds[slot] = -1;
}

int SlotLocks::CountHeld() const {
  int held = 0;
  for (int slot = 0; slot < static_cast<int>(m_heldFds.size()); ++slot) {
    if (m_heldFds[slot] >= 0) {
      ++held;
      continue;
    }
    const int fd = open(PathOf(slot).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;  // never created: nobody holds it
    struct flock probe = WholeFileLock(F_WRLCK);
    if (fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) ++held;
    close(fd);
  }
  return held;
}

}  // namespace platform
