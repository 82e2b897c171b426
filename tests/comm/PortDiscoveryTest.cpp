// Finding the handset's port in fake sysfs trees, and the identifier comparison rules.
#include <gtest/gtest.h>

#include <cstdlib>

#include "FakeSysfs.h"
#include "comm/PortDiscovery.h"
#include "comm/UtiCtrl.h"
#include "platform/UsbPortLookup.h"

namespace {

std::string Found(const FakeSysfs& sysfs) {
  std::string name;
  FindHandsetAmong(ListSerialPorts(sysfs.Root()), name);
  return name;
}

}  // namespace

TEST(HandsetId, ComparesWholeTextsWithoutRegardToCase) {
  EXPECT_TRUE(IsHandsetId("USB\\VID_0F6E&PID_0021&REV_0100"));
  EXPECT_TRUE(IsHandsetId("usb\\vid_0f6e&pid_0021&rev_0100"));
  EXPECT_TRUE(IsHandsetId("USB\\VID_0F6E&PID_0021"));
  EXPECT_FALSE(IsHandsetId("USB\\VID_0F6E&PID_0021&REV_0200"));
  EXPECT_FALSE(IsHandsetId("USB\\VID_0F6E&PID_0021&REV_01000"));
  EXPECT_FALSE(IsHandsetId("USB\\VID_0F6E&PID_0021&MI_00"));
  EXPECT_FALSE(IsHandsetId("USB\\VID_0F6E&PID_002"));
  EXPECT_FALSE(IsHandsetId(""));
}

TEST(PortLookup, FormsTheIdentifiersOfTheUsbDevice) {
  FakeSysfs sysfs;
  sysfs.AddUsb("ttyACM0", {});
  sysfs.AddPlatform("ttyS0");
  sysfs.AddVirtual("tty1");  // no device behind it: not a port
  auto ports = ListSerialPorts(sysfs.Root());
  ASSERT_EQ(2u, ports.size());
  EXPECT_EQ("/dev/ttyACM0", ports[0].devicePath);
  EXPECT_EQ(std::vector<std::string>({"USB\\VID_0F6E&PID_0021&REV_0100", "USB\\VID_0F6E&PID_0021"}),
            ports[0].hardwareIds);
  EXPECT_EQ("/dev/ttyS0", ports[1].devicePath);
  EXPECT_TRUE(ports[1].hardwareIds.empty());
}

TEST(PortLookup, OneInterfaceOfACompositeDeviceCarriesItsInterfaceNumber) {
  FakeSysfs sysfs;
  UsbDevice composite;
  composite.deviceClass = "00";
  composite.interfaceNumber = 2;
  sysfs.AddUsb("ttyACM0", composite);
  auto ports = ListSerialPorts(sysfs.Root());
  ASSERT_EQ(1u, ports.size());
  EXPECT_EQ(std::vector<std::string>({"USB\\VID_0F6E&PID_0021&REV_0100&MI_02", "USB\\VID_0F6E&PID_0021&MI_02"}),
            ports[0].hardwareIds);
  EXPECT_EQ("", Found(sysfs));
}

struct DiscoveryCase {
  const char* name;
  std::vector<std::pair<std::string, UsbDevice>> devices;
  std::string expected;
};

class Discovery : public ::testing::TestWithParam<DiscoveryCase> {};

TEST_P(Discovery, FindsTheFirstHandsetInOrder) {
  FakeSysfs sysfs;
  sysfs.AddPlatform("ttyS0");
  for (const auto& [tty, device] : GetParam().devices) sysfs.AddUsb(tty, device);
  EXPECT_EQ(GetParam().expected, Found(sysfs));
}

UsbDevice Other() {
  UsbDevice d;
  d.vendor = "1a86";
  d.product = "7523";
  return d;
}

UsbDevice Revision(const char* revision) {
  UsbDevice d;
  d.revision = revision;
  return d;
}

UsbDevice Converter() {
  UsbDevice d;
  d.serialConverter = true;
  return d;
}

UsbDevice SingleInterface() {
  UsbDevice d;
  d.deviceClass = "00";
  d.interfaces = 1;
  return d;
}

INSTANTIATE_TEST_SUITE_P(
    Trees, Discovery,
    ::testing::Values(
        DiscoveryCase{"Alone", {{"ttyACM0", {}}}, "/dev/ttyACM0"},
        DiscoveryCase{"AmongOthers", {{"ttyUSB0", Other()}, {"ttyACM3", {}}}, "/dev/ttyACM3"},
        DiscoveryCase{"OtherRevisionByTheShortIdentifier", {{"ttyACM0", Revision("0200")}}, "/dev/ttyACM0"},
        DiscoveryCase{"TwoHandsetsNaturalOrder", {{"ttyACM10", {}}, {"ttyACM2", {}}}, "/dev/ttyACM2"},
        DiscoveryCase{"SerialConverterLevel", {{"ttyUSB0", Converter()}}, "/dev/ttyUSB0"},
        DiscoveryCase{"SingleInterfaceDevice", {{"ttyACM0", SingleInterface()}}, "/dev/ttyACM0"},
        DiscoveryCase{"NoHandset", {{"ttyUSB0", Other()}}, ""},
        DiscoveryCase{"NothingAttached", {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Discovery, MissingTreeFindsNothing) {
  EXPECT_TRUE(ListSerialPorts("/nonexistent-sysfs").empty());
}

TEST(FindHandsetPort, QvbookPortComesFirstAndTheTreeOtherwise) {
  FakeSysfs sysfs;
  sysfs.AddUsb("ttyACM1", {});
  CUtiCtrl ctrl;
  ctrl.SetSysfsRoot(sysfs.Root());
  const char* saved = std::getenv("QVBOOK_PORT");
  std::string keep = saved ? saved : "";
  std::string name = "stale";
  setenv("QVBOOK_PORT", "/dev/pts/77", 1);
  EXPECT_EQ(UtiFound, ctrl.FindHandsetPort(name));
  EXPECT_EQ("/dev/pts/77", name);
  unsetenv("QVBOOK_PORT");
  EXPECT_EQ(UtiFound, ctrl.FindHandsetPort(name));
  EXPECT_EQ("/dev/ttyACM1", name);
  ctrl.SetSysfsRoot("/nonexistent-sysfs");
  EXPECT_EQ(UtiNotFound, ctrl.FindHandsetPort(name));
  EXPECT_EQ("", name);
  if (saved) setenv("QVBOOK_PORT", keep.c_str(), 1);
}
