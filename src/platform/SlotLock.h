// A counter of live holders shared by every process of the user. On Linux a set of lock
// files in a folder, each held locked by one live holder: a lock belongs to the process
// that took it, so a process that dies, however it dies, leaves no count behind. On
// Windows a named semaphore, whose count the system drops with its last open handle.
#pragma once

#include <string>
#include <vector>

namespace platform {

class SlotLocks {
 public:
  // Lock files "slot0.lock" .. "slot<count-1>.lock" inside `folder`.
  SlotLocks(std::string folder, int count);
  ~SlotLocks();  // gives back every slot still held
  SlotLocks(const SlotLocks&) = delete;
  SlotLocks& operator=(const SlotLocks&) = delete;

  // Locks the first slot nobody holds; its index, or -1 when all are held.
  int Acquire();
  void Release(int slot);

  // Number of slots held, by this object or by anyone else.
  int CountHeld() const;

 private:
  std::string PathOf(int slot) const;

  std::string m_strFolder;
  std::vector<int> m_heldFds;  // per slot: the locked descriptor (Linux) or 1 (Windows), or -1
  void* m_hCounter = nullptr;   // Windows: the named semaphore counting the holders
};

}  // namespace platform
