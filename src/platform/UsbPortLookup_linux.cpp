// Serial ports from sysfs: /sys/class/tty/NAME/device leads to the USB interface, whose
// parent holds the device's idVendor, idProduct and bcdDevice.
#include "platform/UsbPortLookup.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The first line of a sysfs attribute; empty when missing.
std::string ReadAttribute(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

int HexAttribute(const fs::path& path, int fallback) {
  std::string text = ReadAttribute(path);
  if (text.empty()) return fallback;
  try {
    return std::stoi(text, nullptr, 16);
  } catch (...) {
    return fallback;
  }
}

int DecimalAttribute(const fs::path& path, int fallback) {
  std::string text = ReadAttribute(path);
  try {
    return text.empty() ? fallback : std::stoi(text);
  } catch (...) {
    return fallback;
  }
}

std::string Format(const char* format, int a, int b, int c = 0, int d = 0) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b, c, d);
  return text;
}

// A device with several interfaces in a single configuration and a device class of
// "per interface" (or the interface-association class) gets one identity per interface.
bool IsComposite(const fs::path& usbDevice) {
  int interfaces = DecimalAttribute(usbDevice / "bNumInterfaces", 1);
  int configurations = DecimalAttribute(usbDevice / "bNumConfigurations", 1);
  int cls = HexAttribute(usbDevice / "bDeviceClass", 0);
  int sub = HexAttribute(usbDevice / "bDeviceSubClass", 0);
  int protocol = HexAttribute(usbDevice / "bDeviceProtocol", 0);
  bool perInterface = cls == 0x00 || (cls == 0xEF && sub == 0x02 && protocol == 0x01);
  return interfaces > 1 && configurations == 1 && perInterface;
}

std::vector<std::string> HardwareIds(const fs::path& ttyDevice) {
  std::error_code ec;
  fs::path target = fs::canonical(ttyDevice, ec);
  if (ec) return {};
  // A USB serial converter puts one more level (the port) under the interface.
  for (fs::path interface = target; interface.has_parent_path() && interface != interface.root_path();
       interface = interface.parent_path()) {
    fs::path usbDevice = interface.parent_path();
    if (!fs::exists(interface / "bInterfaceNumber") || !fs::exists(usbDevice / "idVendor")) continue;
    int vid = HexAttribute(usbDevice / "idVendor", -1);
    int pid = HexAttribute(usbDevice / "idProduct", -1);
    int rev = HexAttribute(usbDevice / "bcdDevice", 0);
    if (vid < 0 || pid < 0) return {};
    if (IsComposite(usbDevice)) {
      int mi = HexAttribute(interface / "bInterfaceNumber", 0);
      return {Format("USB\\VID_%04X&PID_%04X&REV_%04X&MI_%02X", vid, pid, rev, mi),
              Format("USB\\VID_%04X&PID_%04X&MI_%02X", vid, pid, mi)};
    }
    return {Format("USB\\VID_%04X&PID_%04X&REV_%04X", vid, pid, rev),
            Format("USB\\VID_%04X&PID_%04X", vid, pid)};
  }
  return {};
}

// Orders names by their text with runs of digits compared as numbers.
bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (std::isdigit(static_cast<unsigned char>(a[i])) && std::isdigit(static_cast<unsigned char>(b[j]))) {
      std::size_t ei = i, ej = j;
      while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
      while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
      unsigned long long na = std::stoull(a.substr(i, std::min<std::size_t>(ei - i, 18)));
      unsigned long long nb = std::stoull(b.substr(j, std::min<std::size_t>(ej - j, 18)));
      if (na != nb) return na < nb;
      i = ei;
      j = ej;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

}  // namespace

std::vector<SerialPortInfo> ListSerialPorts(const std::string& sysfsRoot) {
  std::vector<SerialPortInfo> ports;
  std::error_code ec;
  fs::path classDir = fs::path(sysfsRoot) / "class" / "tty";
  for (const auto& entry : fs::directory_iterator(classDir, ec)) {
    fs::path device = entry.path() / "device";
    if (!fs::exists(device, ec)) continue;
    SerialPortInfo info;
    info.name = entry.path().filename().string();
    info.devicePath = "/dev/" + info.name;
    info.hardwareIds = HardwareIds(device);
    ports.push_back(std::move(info));
  }
  std::sort(ports.begin(), ports.end(),
            [](const SerialPortInfo& a, const SerialPortInfo& b) { return NaturalLess(a.name, b.name); });
  return ports;
}
