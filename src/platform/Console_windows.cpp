// Windows backend of the standard streams: binary mode and a UTF-8 console.
#include "platform/Console.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/WindowsApi.h"

namespace platform {

void PrepareStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);  // fails harmlessly when there is no console
}

}  // namespace platform
