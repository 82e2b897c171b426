// The leftovers of saves: temporary files that a save whose process was killed outright (or
// a power loss) left beside its target, told apart from those of saves still running.
#pragma once

#include <string>

namespace platform {

// Removes from `folder` the temporary files (of the names WriterOfTemporary recognises, for
// the target named `targetName`) whose save has ended: their writer's process is gone, and
// no running save anywhere (another process namespace, another machine sharing the folder)
// holds them.
void RemoveStaleTemporaries(const std::string& folder, const std::string& targetName);

}  // namespace platform
