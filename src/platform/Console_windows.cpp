// Windows backend of the standard streams: binary mode and a UTF-8 console.
#include "platform/Console.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/WindowsApi.h"

namespace platform {

// The runtime keeps descriptors 0 to 2 for the standard streams even when the process
// has no handle for them, so files never take their numbers here.
bool PrepareStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);  // fails harmlessly when there is no console
  return true;
}

}  // namespace platform
