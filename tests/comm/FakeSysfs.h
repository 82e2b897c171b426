// A sysfs tree made of plain files and symbolic links, with USB serial devices, platform
// ports and virtual terminals, for the port lookup's tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

struct UsbDevice {
  const char* vendor = "0f6e";
  const char* product = "0021";
  const char* revision = "0100";
  const char* deviceClass = "02";  // communications: one identity for the whole device
  int interfaces = 2;
  int interfaceNumber = 0;
  bool serialConverter = false;    // the tty sits one level below the interface
};

class FakeSysfs {
 public:
  FakeSysfs() {
    char pattern[] = "/tmp/qvbook-sysfs-XXXXXX";
    m_root = mkdtemp(pattern);
    std::filesystem::create_directories(m_root / "class" / "tty");
  }
  ~FakeSysfs() { std::filesystem::remove_all(m_root); }
  std::string Root() const { return m_root.string(); }

  void AddUsb(const std::string& tty, const UsbDevice& d) {
    std::filesystem::path device = m_root / "devices" / "usb1" / ("1-" + std::to_string(++m_nDevices));
    std::filesystem::path interface = device / (device.filename().string() + ":1." + std::to_string(d.interfaceNumber));
    std::filesystem::create_directories(interface);
    Write(device / "idVendor", d.vendor);
    Write(device / "idProduct", d.product);
    Write(device / "bcdDevice", d.revision);
    Write(device / "bDeviceClass", d.deviceClass);
    Write(device / "bDeviceSubClass", "00");
    Write(device / "bDeviceProtocol", "00");
    Write(device / "bNumInterfaces", " " + std::to_string(d.interfaces));
    Write(device / "bNumConfigurations", "1");
    char number[8];
    std::snprintf(number, sizeof number, "%02x", d.interfaceNumber);
    Write(interface / "bInterfaceNumber", number);
    std::filesystem::path target = interface;
    if (d.serialConverter) std::filesystem::create_directories(target = interface / tty);
    AddTty(tty, target);
  }

  void AddPlatform(const std::string& tty) {
    std::filesystem::path device = m_root / "devices" / "platform" / ("serial8250-" + tty);
    std::filesystem::create_directories(device);
    AddTty(tty, device);
  }

  void AddVirtual(const std::string& tty) { std::filesystem::create_directories(m_root / "class" / "tty" / tty); }

 private:
  void AddTty(const std::string& tty, const std::filesystem::path& device) {
    std::filesystem::create_directories(m_root / "class" / "tty" / tty);
    std::filesystem::create_directory_symlink(device, m_root / "class" / "tty" / tty / "device");
  }
  static void Write(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text << "\n"; }

  std::filesystem::path m_root;
  int m_nDevices = 0;
};

