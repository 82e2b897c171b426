// Replacing a file's whole content so that a failure at any point leaves the old file as
// it was: the bytes go to a temporary file beside the target, which then takes its place.
#pragma once

#include <cerrno>
#include <string>
#include <string_view>

#include "platform/FileIdentity.h"

// What a save reports for a target that exists and is not a regular file: a device (as
// /dev/null, or a Windows device name such as NUL or COM1), a FIFO or a socket. Nothing is
// written and the target stays what it is.
inline constexpr int kSaveTargetNotAFile = ENODEV;

// The save's own outcomes, beyond every errno value, so that no system error is taken for
// them. kSaveKeepsNoOwner: the new file could not be given the replaced one's owner, group,
// ACL or extended attributes (the system lets only their owner or root set them), and the
// caller did not allow that; nothing is written. kSaveNotDurable: the target holds the new
// bytes, but its folder could not be synced, so a system crash may bring the old file back.
inline constexpr int kSaveKeepsNoOwner = 0x10001;
inline constexpr int kSaveNotDurable = 0x10002;

struct AtomicSaveOptions {
  bool mayChangeOwner = false;              // replace even where kSaveKeepsNoOwner would refuse
  platform::FileIdentity* written = nullptr;  // receives the new file's identity once it is in place
};

// Writes `bytes` to `path` atomically. Returns 0, or the errno of the step that failed; on
// failure the temporary file is removed and an existing target is untouched. A new file
// gets mode 0666 less the umask; a replaced file keeps its mode, owner, group, ACL and
// extended attributes (see kSaveKeepsNoOwner). Through a symbolic link the file it points
// to is written (created when missing) and the link kept. A read-only file is not
// replaced, nor anything but a regular file (kSaveTargetNotAFile, EISDIR for a folder).
// The temporary file has a short name of its own (so any legal target name can be saved);
// a signal that ends the process during the save removes it, and leftovers of saves whose
// process is gone (killed outright, a power loss) are removed by the next save beside them.
int SaveFileAtomically(const std::string& path, std::string_view bytes,
                       const AtomicSaveOptions& options = {});

// Removes from the folder of the file `path` names (through links, as a save would) the
// temporary files of saves whose process is gone; an editor opening a file calls it.
void RemoveLeftoverTemporaries(const std::string& path);
