// Windows backend of the version query: RtlGetVersion, which reports the true version even
// to a program without a manifest (GetVersionEx would claim Windows 8 there).
#include "platform/OsVersion.h"

#include "platform/WindowsApi.h"

namespace {

using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);

}  // namespace

std::optional<WindowsVersionInfo> QueryWindowsVersion() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  const auto rtlGetVersion =
      ntdll ? reinterpret_cast<RtlGetVersionCall>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
            : nullptr;
  if (!rtlGetVersion || rtlGetVersion(&version) != 0) {
    // A system without RtlGetVersion predates every version the rule accepts.
    return WindowsVersionInfo{};
  }
  WindowsVersionInfo info;
  info.platformId = static_cast<int>(version.dwPlatformId);
  info.major = static_cast<int>(version.dwMajorVersion);
  info.minor = static_cast<int>(version.dwMinorVersion);
  // Only whether the service-pack text is empty matters; any other first character will do.
  info.servicePackFirst = version.szCSDVersion[0] == L'\0' ? '\0'
                          : version.szCSDVersion[0] < 0x80 ? static_cast<char>(version.szCSDVersion[0])
                                                           : '?';
  return info;
}
