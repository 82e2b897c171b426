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

bool StandardInputIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// The console's handle is signalled by any input event (a key going up, the mouse); the
// read then waits for the line to end. Ctrl+C ends that read (the interrupt watch's handler
// runs), so `stopped` is asked again after it.
bool ReadTypedLine(std::string& line, std::size_t limit, const std::function<bool()>& stopped) {
  line.clear();
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  for (;;) {
    if (stopped()) return false;
    const DWORD wait = WaitForSingleObject(input, 100);
    if (wait == WAIT_TIMEOUT) continue;
    if (wait != WAIT_OBJECT_0) return false;
    char byte = 0;
    DWORD got = 0;
    if (!ReadFile(input, &byte, 1, &got, nullptr)) {
      if (GetLastError() == ERROR_OPERATION_ABORTED) continue;
      return false;
    }
    if (got == 0) {
      if (stopped()) return false;
      continue;
    }
    if (byte == '\n') break;
    if (line.size() < limit) line.push_back(byte);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace platform
