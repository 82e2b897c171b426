// qvbook-cli ports: the serial ports present, the handset marked with "*".
#include <cstdio>
#include <cstdlib>

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
    std::printf("* %s  (QVBOOK_PORT)\n", named);
  auto ports = ListSerialPorts(sysfs);
  int handset = FindHandsetIndex(ports);
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const SerialPortInfo& port = ports[i];
    std::printf("%c %s  %s\n", static_cast<int>(i) == handset ? '*' : ' ', port.devicePath.c_str(),
                port.hardwareIds.empty() ? "-" : port.hardwareIds.front().c_str());
  }
  return kExitOk;
}
