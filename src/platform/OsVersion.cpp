// The version rule, independent of the system the program runs on.
#include "platform/OsVersion.h"

int GetWindowsVersionCode(const WindowsVersionInfo& info) {
  if (info.platformId == kPlatform9x) {
    if (info.minor < 10) return 1;
    if (info.minor < 90) return info.servicePackFirst == '\0' ? 2 : 3;
    return 4;
  }
  if (info.platformId == kPlatformNt) {
    switch (info.major) {
      case 0: case 1: case 2: return 0;
      case 3: return 5;
      case 4: return 6;
      case 5: return info.minor == 0 ? 7 : 8;
      case 6: return 10;
      default: return info.major >= 7 ? 8 : 0;
    }
  }
  return 0;
}

bool IsSupportedSystem() {
  const auto version = QueryWindowsVersion();
  return !version || GetWindowsVersionCode(*version) >= kMinimumVersionCode;
}
