// Windows backend of SingleInstanceLock: a named mutex. A name starting with "Global\" is
// seen by every session of the machine; the system destroys the mutex with the last
// handle, so a process that ends, however it ends, leaves no lock behind.
#include "platform/SingleInstanceLock.h"

#include <cstdint>

#include "platform/WindowsApi.h"

namespace {

// Kernel handles carry 32 significant bits on 64-bit Windows, so an int holds them.
HANDLE AsHandle(int value) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(value)); }
int AsInt(HANDLE handle) { return static_cast<int>(reinterpret_cast<std::intptr_t>(handle)); }

}  // namespace

SingleInstanceLock::SingleInstanceLock(std::string name) : m_strName(std::move(name)) {}

SingleInstanceLock::~SingleInstanceLock() { Release(); }

bool SingleInstanceLock::Acquire() {
  if (Held()) return true;
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, m_strName.c_str());
  if (mutex == nullptr) return false;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {  // another instance created it first
    CloseHandle(mutex);
    return false;
  }
  m_nHandle = AsInt(mutex);
  return true;
}

void SingleInstanceLock::Release() {
  if (m_nHandle >= 0) CloseHandle(AsHandle(m_nHandle));
  m_nHandle = -1;
}
