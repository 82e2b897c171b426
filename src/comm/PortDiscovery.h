// Which of the present serial ports is the handset: the first, in order, one of whose
// hardware identifiers equals one of the handset's (letter case aside).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/UsbPortLookup.h"

inline constexpr std::string_view kHandsetIdWithRevision = "USB\\VID_0F6E&PID_0021&REV_0100";
inline constexpr std::string_view kHandsetId = "USB\\VID_0F6E&PID_0021";

// True when `hardwareId` names the handset. Equality only: a longer identifier that
// merely begins with one of the handset's is another device.
bool IsHandsetId(std::string_view hardwareId);

// The index of the handset among `ports`, or -1.
int FindHandsetIndex(const std::vector<SerialPortInfo>& ports);

// Sets `portName` to the handset's device path and returns true when one is found;
// otherwise clears it and returns false.
bool FindHandsetAmong(const std::vector<SerialPortInfo>& ports, std::string& portName);
