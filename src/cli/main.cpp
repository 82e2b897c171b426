// qvbook-cli: the phonebook core without windows.
#include <cstdio>

int main() {
  std::puts("usage: qvbook-cli show|convert|import|download|upload|ports ...");
  return 64;
}
