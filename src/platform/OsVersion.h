// The operating-system version rule of the editor: which systems it refuses to start on.
#pragma once

#include <optional>

// The fields of the Windows version query that the rule looks at.
struct WindowsVersionInfo {
  int platformId = 0;             // 1 the 9x family, 2 the NT family
  int major = 0;
  int minor = 0;
  char servicePackFirst = '\0';   // first character of the service-pack text
};

inline constexpr int kPlatform9x = 1;
inline constexpr int kPlatformNt = 2;
inline constexpr int kMinimumVersionCode = 8;  // Windows XP

// The system code of a version: 1..4 the 9x family, 5..8 and 10 the NT family, 0 unknown.
int GetWindowsVersionCode(const WindowsVersionInfo& info);

// The running system's version, or none when the system is not Windows.
std::optional<WindowsVersionInfo> QueryWindowsVersion();

// True when the editor may run here: any non-Windows system, or Windows XP and later.
bool IsSupportedSystem();
