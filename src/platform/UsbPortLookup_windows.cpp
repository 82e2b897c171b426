// Serial ports from the device set-up interfaces: the present devices of the ports class,
// in enumeration order, with their hardware identifiers and the port name that the driver
// recorded under the device's "Device Parameters" registry key ("PORTNAME").
#include "platform/UsbPortLookup.h"

#include <atomic>
#include <cstdio>

#include "platform/DeviceSetupCalls.h"

namespace {

// {4D36E978-E325-11CE-BFC1-08002BE10318}: the ports (COM and LPT) device setup class.
constexpr GUID kPortsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr DWORD kPortNameSize = 260;

std::atomic<const DeviceSetupCalls*> g_pCalls{nullptr};

const DeviceSetupCalls& Calls() {
  const DeviceSetupCalls* calls = g_pCalls.load();
  return calls ? *calls : SystemDeviceSetupCalls();
}

// A property read the way the driver stack expects: the size first, then a buffer of
// twice that size plus one byte, zero-filled so that a text missing its terminator still
// ends inside it.
template <typename Read>
std::string ReadSized(Read read) {
  DWORD required = 0;
  read(nullptr, 0, &required);
  if (required == 0) return {};
  std::string buffer(static_cast<std::size_t>(required) * 2 + 1, '\0');
  DWORD got = 0;
  if (!read(reinterpret_cast<BYTE*>(buffer.data()), static_cast<DWORD>(buffer.size()), &got)) return {};
  buffer.resize(std::min<std::size_t>(got ? got : required, buffer.size() - 1));
  return buffer;
}

// The texts of a list of zero-terminated texts ended by an empty one.
std::vector<std::string> SplitTextList(const std::string& list) {
  std::vector<std::string> texts;
  std::size_t at = 0;
  while (at < list.size()) {
    const std::size_t end = std::min(list.find('\0', at), list.size());
    if (end == at) break;
    texts.push_back(list.substr(at, end - at));
    at = end + 1;
  }
  return texts;
}

std::vector<std::string> HardwareIds(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  return SplitTextList(ReadSized([&](BYTE* buffer, DWORD size, DWORD* required) {
    return Calls().getDeviceRegistryProperty(devices, &device, SPDRP_HARDWAREID, nullptr, buffer, size,
                                             required) != 0;
  }));
}

std::string InstanceId(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  const std::string id = ReadSized([&](BYTE* buffer, DWORD size, DWORD* required) {
    return Calls().getDeviceInstanceId(devices, &device, reinterpret_cast<char*>(buffer), size, required) != 0;
  });
  return id.substr(0, id.find('\0'));
}

// The "PORTNAME" value of the device's parameters; empty when missing or unreadable.
std::string PortName(const std::string& instanceId) {
  if (instanceId.empty()) return {};
  const std::string key = "SYSTEM\\CurrentControlSet\\Enum\\" + instanceId + "\\Device Parameters";
  HKEY parameters = nullptr;
  if (Calls().regOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &parameters) != ERROR_SUCCESS) return {};
  char value[kPortNameSize + 1] = {};
  DWORD type = 0;
  DWORD size = kPortNameSize;
  const LONG read = Calls().regQueryValueEx(parameters, "PORTNAME", nullptr, &type,
                                            reinterpret_cast<BYTE*>(value), &size);
  Calls().regCloseKey(parameters);
  if (read != ERROR_SUCCESS || type != REG_SZ) return {};
  return std::string(value, strnlen(value, std::min<DWORD>(size, kPortNameSize)));
}

}  // namespace

const DeviceSetupCalls& SystemDeviceSetupCalls() {
  static const DeviceSetupCalls system{SetupDiGetClassDevsA, SetupDiEnumDeviceInfo,
                                       SetupDiGetDeviceRegistryPropertyA, SetupDiGetDeviceInstanceIdA,
                                       SetupDiDestroyDeviceInfoList, RegOpenKeyExA,
                                       RegQueryValueExA, RegCloseKey};
  return system;
}

void UseDeviceSetupCalls(const DeviceSetupCalls* calls) { g_pCalls = calls; }

// The sysfs root of the Linux lookup means nothing here: the system keeps the device list.
std::vector<SerialPortInfo> ListSerialPorts(const std::string&) {
  std::vector<SerialPortInfo> ports;
  const HDEVINFO devices = Calls().getClassDevs(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return ports;
  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!Calls().enumDeviceInfo(devices, index, &device)) break;
    SerialPortInfo port;
    port.hardwareIds = HardwareIds(devices, device);
    // The channel opens a port by its name ("COM7"), putting the device namespace in front.
    port.name = PortName(InstanceId(devices, device));
    port.devicePath = port.name;
    ports.push_back(std::move(port));
  }
  Calls().destroyDeviceInfoList(devices);
  return ports;
}
