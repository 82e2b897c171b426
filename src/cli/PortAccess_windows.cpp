// Why a serial port is refused, on Windows: COM ports are open to every user, so a refused
// port is held by another program, never a matter of groups or device rules.
#include "cli/PortAccess.h"

std::vector<std::string> UdevRuleFolders() { return {}; }

PortAccessFacts GatherPortAccessFacts(const std::string&, const std::vector<std::string>&) {
  PortAccessFacts facts;
  facts.ruleInstalled = true;  // nothing to install on Windows
  return facts;
}

std::string DescribeMissingAccess(const PortAccessFacts&) {
  return "access denied: another program holds the port. Close it, or plug the handset in again.";
}
