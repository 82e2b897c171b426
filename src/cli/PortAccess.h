// Why a serial port could not be opened for lack of permission: which group owns the
// device, whether this user is in it, and whether the handset's udev rule is installed;
// and the advice that follows from it.
#pragma once

#include <string>
#include <vector>

inline constexpr const char* kHandsetRuleName = "70-qvbook-handset.rules";

struct PortAccessFacts {
  std::string group;          // the device's group name (its number when it has no name)
  bool inGroup = false;       // this process carries that group
  bool ruleInstalled = false; // the handset's udev rule lies in one of the rule folders
};

// The folders udev reads rules from.
std::vector<std::string> UdevRuleFolders();

// Looks at the device and the rule folders. An unreadable device leaves `group` empty.
PortAccessFacts GatherPortAccessFacts(const std::string& devicePath,
                                      const std::vector<std::string>& ruleFolders);

// One sentence for the user: what is missing and how to get it.
std::string DescribeMissingAccess(const PortAccessFacts& facts);
