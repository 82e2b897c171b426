// The handset's port found through the device set-up interfaces, on a stand-in device
// list: Wine presents no USB devices, so the calls are replaced by a table that serves
// the devices below the way the system does (sizes first, then the data).
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "comm/PortDiscovery.h"
#include "comm/UtiCtrl.h"
#include "platform/DeviceSetupCalls.h"
#include "platform/UsbPortLookup.h"

namespace {

struct StandInDevice {
  std::vector<std::string> hardwareIds;
  std::string instanceId;
  std::string portName;  // empty: the driver recorded none
};

// What the stand-in calls serve and what they were asked.
struct StandIn {
  std::vector<StandInDevice> devices;
  bool listFails = false;
  GUID askedClass{};
  DWORD askedFlags = 0;
  std::vector<std::string> openedKeys;
  int listsOpen = 0;
};
StandIn* g_pStandIn = nullptr;
const HDEVINFO kList = reinterpret_cast<HDEVINFO>(0x5150);

// Copies `data` the way the system's property calls do: the size always, the bytes only
// when they fit.
BOOL Serve(const std::string& data, BYTE* buffer, DWORD size, DWORD* required) {
  if (required) *required = static_cast<DWORD>(data.size());
  if (buffer == nullptr || size < data.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(buffer, data.data(), data.size());
  return TRUE;
}

HDEVINFO WINAPI GetClassDevs(const GUID* cls, PCSTR, HWND, DWORD flags) {
  g_pStandIn->askedClass = *cls;
  g_pStandIn->askedFlags = flags;
  if (g_pStandIn->listFails) return INVALID_HANDLE_VALUE;
  ++g_pStandIn->listsOpen;
  return kList;
}

BOOL WINAPI EnumDeviceInfo(HDEVINFO, DWORD index, SP_DEVINFO_DATA* data) {
  if (index >= g_pStandIn->devices.size()) {
    SetLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
  }
  data->DevInst = index;
  return TRUE;
}

BOOL WINAPI GetProperty(HDEVINFO, SP_DEVINFO_DATA* data, DWORD property, DWORD*, BYTE* buffer, DWORD size,
                        DWORD* required) {
  if (property != SPDRP_HARDWAREID) return FALSE;
  std::string list;
  for (const std::string& id : g_pStandIn->devices.at(data->DevInst).hardwareIds) list += id + '\0';
  return Serve(list + '\0', buffer, size, required);
}

BOOL WINAPI GetInstanceId(HDEVINFO, SP_DEVINFO_DATA* data, PSTR buffer, DWORD size, DWORD* required) {
  const std::string& id = g_pStandIn->devices.at(data->DevInst).instanceId;
  return Serve(id + '\0', reinterpret_cast<BYTE*>(buffer), size, required);
}

BOOL WINAPI DestroyList(HDEVINFO) {
  --g_pStandIn->listsOpen;
  return TRUE;
}

LSTATUS WINAPI OpenKey(HKEY root, LPCSTR name, DWORD, REGSAM access, HKEY* key) {
  if (root != HKEY_LOCAL_MACHINE || access != KEY_READ) return ERROR_ACCESS_DENIED;
  g_pStandIn->openedKeys.push_back(name);
  for (std::size_t i = 0; i < g_pStandIn->devices.size(); ++i) {
    const std::string expected =
        "SYSTEM\\CurrentControlSet\\Enum\\" + g_pStandIn->devices[i].instanceId + "\\Device Parameters";
    if (expected == name) {
      *key = reinterpret_cast<HKEY>(i + 1);
      return ERROR_SUCCESS;
    }
  }
  return ERROR_FILE_NOT_FOUND;
}

LSTATUS WINAPI QueryValue(HKEY key, LPCSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
  const std::string& port = g_pStandIn->devices.at(reinterpret_cast<std::size_t>(key) - 1).portName;
  if (port.empty() || std::string(name) != "PORTNAME") return ERROR_FILE_NOT_FOUND;
  *type = REG_SZ;
  if (*size < port.size() + 1) return ERROR_MORE_DATA;
  std::memcpy(data, port.c_str(), port.size() + 1);
  *size = static_cast<DWORD>(port.size() + 1);
  return ERROR_SUCCESS;
}

LSTATUS WINAPI CloseKey(HKEY) { return ERROR_SUCCESS; }

const DeviceSetupCalls kStandInCalls{GetClassDevs, EnumDeviceInfo, GetProperty, GetInstanceId,
                                     DestroyList,  OpenKey,        QueryValue,  CloseKey};

const StandInDevice kBuiltInPort{{"ACPI\\PNP0501", "*PNP0501"}, "ACPI\\PNP0501\\1", "COM1"};
const StandInDevice kHandset{{"USB\\VID_0F6E&PID_0021&REV_0100", "USB\\VID_0F6E&PID_0021"},
                             "USB\\VID_0F6E&PID_0021\\5&2A3B&0&1", "COM7"};

class WindowsDiscovery : public ::testing::Test {
 protected:
  void SetUp() override {
    g_pStandIn = &m_standIn;
    UseDeviceSetupCalls(&kStandInCalls);
  }
  void TearDown() override {
    UseDeviceSetupCalls(nullptr);
    g_pStandIn = nullptr;
    EXPECT_EQ(m_standIn.listsOpen, 0) << "every device list is destroyed";
  }
  std::string Found() {
    std::string port = "stale";
    FindHandsetAmong(ListSerialPorts("/sys"), port);
    return port;
  }
  StandIn m_standIn;
};

TEST_F(WindowsDiscovery, AsksForThePresentPortsClassAndReadsEveryDevice) {
  m_standIn.devices = {kBuiltInPort, kHandset};
  const auto ports = ListSerialPorts("/sys");
  const GUID portsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
  EXPECT_TRUE(IsEqualGUID(m_standIn.askedClass, portsClass));
  EXPECT_EQ(m_standIn.askedFlags, static_cast<DWORD>(DIGCF_PRESENT));
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0].name, "COM1");
  EXPECT_EQ(ports[1].name, "COM7");
  EXPECT_EQ(ports[1].devicePath, "COM7");
  EXPECT_EQ(ports[1].hardwareIds, kHandset.hardwareIds);
  EXPECT_EQ(m_standIn.openedKeys.back(),
            "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0F6E&PID_0021\\5&2A3B&0&1\\Device Parameters");
}

struct DiscoveryCase {
  const char* name;
  std::vector<StandInDevice> devices;
  std::string expected;
};

class WindowsDiscoveryCases : public WindowsDiscovery, public ::testing::WithParamInterface<DiscoveryCase> {};

TEST_P(WindowsDiscoveryCases, FindsTheFirstHandsetEnumerated) {
  m_standIn.devices = GetParam().devices;
  EXPECT_EQ(Found(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, WindowsDiscoveryCases,
    ::testing::Values(
        DiscoveryCase{"NoDevices", {}, ""},
        DiscoveryCase{"OnlyOtherPorts", {kBuiltInPort}, ""},
        DiscoveryCase{"HandsetAfterAnotherPort", {kBuiltInPort, kHandset}, "COM7"},
        DiscoveryCase{"LowerCaseIdentifier", {{{"usb\\vid_0f6e&pid_0021&rev_0100"}, "USB\\X\\1", "COM4"}}, "COM4"},
        DiscoveryCase{"ShortIdentifierSecond", {{{"USB\\OTHER", "USB\\VID_0F6E&PID_0021"}, "USB\\X\\2", "COM5"}},
                      "COM5"},
        DiscoveryCase{"OtherRevisionIsAnotherDevice",
                      {{{"USB\\VID_0F6E&PID_0021&REV_0200", "USB\\VID_0F6E&PID_0021&MI_00"}, "USB\\X\\3", "COM6"}},
                      ""},
        DiscoveryCase{"TwoHandsetsTakeTheFirst",
                      {{{"USB\\VID_0F6E&PID_0021"}, "USB\\X\\4", "COM8"}, kHandset}, "COM8"},
        DiscoveryCase{"HandsetWithoutPortNameIsNotFound", {{kHandset.hardwareIds, "USB\\X\\5", ""}}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowsDiscovery, AFailedDeviceListFindsNothing) {
  m_standIn.listFails = true;
  EXPECT_TRUE(ListSerialPorts("/sys").empty());
  EXPECT_EQ(Found(), "");
}

TEST_F(WindowsDiscovery, ControllerReportsTheHandsetsPortName) {
  m_standIn.devices = {kBuiltInPort, kHandset};
  CUtiCtrl controller;
  std::string port;
  if (std::getenv("QVBOOK_PORT")) GTEST_SKIP() << "QVBOOK_PORT names a port here";
  EXPECT_EQ(controller.FindHandsetPort(port), UtiFound);
  EXPECT_EQ(port, "COM7");
  m_standIn.devices = {kBuiltInPort};
  EXPECT_EQ(controller.FindHandsetPort(port), UtiNotFound);
  EXPECT_EQ(port, "");
}

// The real calls, on whatever the system has: they run and destroy what they make.
TEST(WindowsDiscoverySystem, ListsTheSystemsPortsWithoutFailing) {
  for (const SerialPortInfo& port : ListSerialPorts("")) EXPECT_EQ(port.devicePath, port.name);
}

}  // namespace
