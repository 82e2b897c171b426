// A phonebook document long enough that reading it takes more than one 64 KiB read, so
// that a fault can strike between reads: `count` rows with every field used, numbered
// without leading zeros and in reverse order, so that a save of it (which sorts and pads
// the numbers) writes other bytes than it read.
#pragma once

#include <cstdio>
#include <string>

inline std::string LongDocument(int count, const std::string& name) {
  std::string bytes;
  for (int n = count; n >= 1; --n) {
    char line[128];
    std::snprintf(line, sizeof line, "%d,%s%d,\xB6\xC5\xC0\xDE\xB1%d,03%08d%08d,090%08d,#%d*5566,%d\r\n", n,
                  name.c_str(), n, n % 97, n, n, n, n, 1 + n % 9);
    bytes += line;
  }
  return bytes;
}
