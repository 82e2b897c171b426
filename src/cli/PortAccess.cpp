// Finding out why a port is refused, and saying what to do about it.
#include "cli/PortAccess.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

bool ProcessHasGroup(gid_t gid) {
  if (getegid() == gid) return true;
  int count = getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  count = getgroups(count, groups.data());
  if (count <= 0) return false;
  groups.resize(static_cast<std::size_t>(count));
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

std::string GroupName(gid_t gid) {
  if (const group* entry = getgrgid(gid); entry && entry->gr_name) return entry->gr_name;
  return std::to_string(gid);
}

}  // namespace

std::vector<std::string> UdevRuleFolders() {
  return {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/local/lib/udev/rules.d",
          "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
}

PortAccessFacts GatherPortAccessFacts(const std::string& devicePath,
                                      const std::vector<std::string>& ruleFolders) {
  PortAccessFacts facts;
  struct stat device {};
  if (stat(devicePath.c_str(), &device) == 0) {
    facts.group = GroupName(device.st_gid);
    facts.inGroup = ProcessHasGroup(device.st_gid);
  }
  for (const std::string& folder : ruleFolders) {
    const std::string rule = folder + "/" + kHandsetRuleName;
    if (access(rule.c_str(), F_OK) == 0) facts.ruleInstalled = true;
  }
  return facts;
}

std::string DescribeMissingAccess(const PortAccessFacts& facts) {
  const std::string rule = kHandsetRuleName;
  const bool groupKnown = !facts.group.empty();
  std::string text = "permission denied: ";
  if (facts.inGroup) {
    text += "this user is in the port's group '" + facts.group +
            "', but the port's mode keeps the group out";
  } else {
    text += facts.ruleInstalled
                ? "the udev rule " + rule + " gives the port only to the user at the seat of a local desktop session"
                : "the udev rule " + rule + " is not installed";
    if (groupKnown) text += ", and this user is not in the port's group '" + facts.group + "'";
  }
  text += ". ";
  if (!facts.ruleInstalled) text += "Install the qvbook package (or copy the rule to /etc/udev/rules.d), then ";
  text += facts.ruleInstalled ? "Plug the handset in again" : "plug the handset in again";
  if (groupKnown && !facts.inGroup && facts.group != "root")
    text += "; or run 'sudo usermod -aG " + facts.group + " $USER' and log in again";
  return text + ".";
}
