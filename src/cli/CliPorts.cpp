// qvbook-cli ports: the serial ports present, the handset marked with "*".
#include <cstdlib>
#include <iostream>

#include "cli/CliCommands.h"
#include "comm/PortDiscovery.h"
#include "platform/UsbPortLookup.h"

int RunPorts(const CliArgs& args) {
  std::string sysfs = "/sys";
  if (args.size() == 2 && args[0] == "--sysfs") {
    sysfs = args[1];  // a device tree other than the machine's, for tests
  } else if (!args.empty()) {
    return kExitUsage;
  }
  if (const char* named = std::getenv("QVBOOK_PORT"); named && *named)
    PrintLine(std::cout, "* " + std::string(named) + "  (QVBOOK_PORT)");
  auto ports = ListSerialPorts(sysfs);
  int handset = FindHandsetIndex(ports);
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const SerialPortInfo& port = ports[i];
    PrintLine(std::cout, std::string(static_cast<int>(i) == handset ? "* " : "  ") + port.devicePath + "  " +
                             (port.hardwareIds.empty() ? "-" : port.hardwareIds.front()));
  }
  return kExitOk;
}
