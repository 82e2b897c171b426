// Recognising the handset among the serial ports by its USB hardware identifier.
#include "comm/PortDiscovery.h"

#include <algorithm>
#include <cctype>

bool IsHandsetId(std::string_view hardwareId) {
  auto equalsIgnoringCase = [&](std::string_view wanted) {
    return std::equal(hardwareId.begin(), hardwareId.end(), wanted.begin(), wanted.end(),
                      [](char a, char b) {
                        return std::toupper(static_cast<unsigned char>(a)) ==
                               std::toupper(static_cast<unsigned char>(b));
                      });
  };
  return equalsIgnoringCase(kHandsetIdWithRevision) || equalsIgnoringCase(kHandsetId);
}

int FindHandsetIndex(const std::vector<SerialPortInfo>& ports) {
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const auto& ids = ports[i].hardwareIds;
    if (std::any_of(ids.begin(), ids.end(), [](const std::string& id) { return IsHandsetId(id); }))
      return static_cast<int>(i);
  }
  return -1;
}

bool FindHandsetAmong(const std::vector<SerialPortInfo>& ports, std::string& portName) {
  int index = FindHandsetIndex(ports);
  portName = index < 0 ? std::string() : ports[index].devicePath;
  return !portName.empty();
}
