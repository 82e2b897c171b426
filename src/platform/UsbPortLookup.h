// The serial ports present on the machine, each with the hardware identifiers its USB
// device would carry ("USB\VID_xxxx&PID_xxxx&REV_xxxx", "USB\VID_xxxx&PID_xxxx", and for
// one interface of a composite device the same with "&MI_xx"), most specific first.
#pragma once

#include <string>
#include <vector>

struct SerialPortInfo {
  std::string name;                      // "ttyACM0"
  std::string devicePath;                // "/dev/ttyACM0"
  std::vector<std::string> hardwareIds;  // empty for a port that is not on USB
};

// Every tty of `sysfsRoot`/class/tty that has a device behind it, in natural name order
// (ttyACM2 before ttyACM10).
std::vector<SerialPortInfo> ListSerialPorts(const std::string& sysfsRoot);
