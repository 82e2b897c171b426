// The editor's one-instance-per-machine lock. It is held for the life of the process and
// released by the kernel when the process ends, even when it crashes.
#pragma once

#include <string>

class SingleInstanceLock {
 public:
  explicit SingleInstanceLock(std::string name);
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // True when this object now holds the lock; false when another process holds it or the
  // lock cannot be made.
  bool Acquire();
  bool Held() const { return m_nHandle >= 0; }
  void Release();

 private:
  std::string m_strName;  // machine-wide name of the lock
  int m_nHandle = -1;     // operating-system handle while held
};
