// The Windows API as the Windows backends of this folder include it: without the rarely
// used parts of <windows.h>, and without its min and max macros, which break std::min.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace platform {

// Closes a kernel handle when it goes out of scope; null and INVALID_HANDLE_VALUE are
// both "no handle".
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle = nullptr) : m_hHandle(handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool Valid() const { return m_hHandle != nullptr && m_hHandle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return m_hHandle; }
  void Reset(HANDLE handle = nullptr) {
    if (Valid()) CloseHandle(m_hHandle);
    m_hHandle = handle;
  }

 private:
  HANDLE m_hHandle;
};

// The folder part of a path that may use either separator; "." when there is none.
inline std::string FolderOfPath(const std::string& path) {
  const auto separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return ".";
  if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
  return path.substr(0, separator);
}

}  // namespace platform
