// Windows backend of the slot counter: a named semaphore, initial count 0 and maximum the
// number of slots; each holder raises the count by one for as long as it holds a slot.
// The editor's folder uses the semaphore "DbPhoneCtrl"; any other folder gets one named
// after the folder, so that its count is its own. The system drops a semaphore with its
// last open handle, and only one editor runs at a time, so a crashed editor leaves no
// count behind.
#include "platform/SlotLock.h"

#include "platform/PrivateFolder.h"
#include "platform/WindowsApi.h"

#include <utility>

namespace platform {

namespace {

constexpr DWORD kReleaseWaitMs = 100;

std::string SemaphoreNameFor(const std::string& folder) {
  if (folder == UserPrivateFolderPath()) return "DbPhoneCtrl";
  // A backslash would name a kernel namespace; the rest of the path is fine in a name.
  std::string name = "DbPhoneCtrl " + folder;
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  return name.size() < MAX_PATH ? name : name.substr(name.size() - (MAX_PATH - 1));
}

HANDLE Counter(void* handle) { return static_cast<HANDLE>(handle); }

}  // namespace

SlotLocks::SlotLocks(std::string folder, int count)
    : m_strFolder(std::move(folder)), m_heldFds(count > 0 ? count : 0, -1) {
  if (m_strFolder.empty() || m_heldFds.empty()) return;
  const DWORD attributes = GetFileAttributesA(m_strFolder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  // Opens the semaphore when another holder created it already.
  m_hCounter = CreateSemaphoreA(nullptr, 0, static_cast<LONG>(m_heldFds.size()),
                                SemaphoreNameFor(m_strFolder).c_str());
}

SlotLocks::~SlotLocks() {
  for (int slot = 0; slot < static_cast<int>(m_heldFds.size()); ++slot) Release(slot);
  if (m_hCounter) CloseHandle(Counter(m_hCounter));
}

int SlotLocks::Acquire() {
  if (!m_hCounter) return -1;
  for (int slot = 0; slot < static_cast<int>(m_heldFds.size()); ++slot) {
    if (m_heldFds[slot] >= 0) continue;
    // Fails when the count is at its maximum: every slot is held.
    if (!ReleaseSemaphore(Counter(m_hCounter), 1, nullptr)) return -1;
    m_heldFds[slot] = 1;
    return slot;
  }
  return -1;
}

void SlotLocks::Release(int slot) {
  if (slot < 0 || slot >= static_cast<int>(m_heldFds.size()) || m_heldFds[slot] < 0) return;
  WaitForSingleObject(Counter(m_hCounter), kReleaseWaitMs);  // takes this holder's count back
  m_heldFds[slot] = -1;
}

int SlotLocks::CountHeld() const {
  if (!m_hCounter) return 0;
  // The count is read by raising it and taking the raise back; a raise refused means the
  // count is at its maximum.
  LONG before = 0;
  if (!ReleaseSemaphore(Counter(m_hCounter), 1, &before)) return static_cast<int>(m_heldFds.size());
  WaitForSingleObject(Counter(m_hCounter), kReleaseWaitMs);
  return static_cast<int>(before);
}

}  // namespace platform
