// Linux backend of the version query: this is not Windows, so there is no version to test.
#include "platform/OsVersion.h"

std::optional<WindowsVersionInfo> QueryWindowsVersion() { return std::nullopt; }
