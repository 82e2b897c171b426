// The device set-up and registry calls of the Windows port lookup, in a table that tests
// replace with a stand-in device list (Wine presents no USB devices). Windows only.
#pragma once

#include "platform/WindowsApi.h"

#include <setupapi.h>

struct DeviceSetupCalls {
  decltype(&SetupDiGetClassDevsA) getClassDevs;
  decltype(&SetupDiEnumDeviceInfo) enumDeviceInfo;
  decltype(&SetupDiGetDeviceRegistryPropertyA) getDeviceRegistryProperty;
  decltype(&SetupDiGetDeviceInstanceIdA) getDeviceInstanceId;
  decltype(&SetupDiDestroyDeviceInfoList) destroyDeviceInfoList;
  decltype(&RegOpenKeyExA) regOpenKeyEx;
  decltype(&RegQueryValueExA) regQueryValueEx;
  decltype(&RegCloseKey) regCloseKey;
};

// The system's own calls.
const DeviceSetupCalls& SystemDeviceSetupCalls();

// Makes the lookup use `calls` (null: the system's again). For tests.
void UseDeviceSetupCalls(const DeviceSetupCalls* calls);
