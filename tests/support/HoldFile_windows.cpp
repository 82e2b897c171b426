// Keeps a file open with no sharing, as a spreadsheet program does while it shows the
// file, until a marker file is deleted: other programs can then neither read nor replace
// it. Writes the marker once the file is held.
// usage: hold_file FILE MARKER
#include <windows.h>

#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: hold_file FILE MARKER\n");
    return 64;
  }
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "hold_file: %s cannot be opened (error %lu)\n", argv[1], GetLastError());
    return 66;
  }
  HANDLE marker = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker == INVALID_HANDLE_VALUE) return 73;
  CloseHandle(marker);
  while (GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES) Sleep(100);
  CloseHandle(file);
  return 0;
}
