// Replacing a file's whole content so that a failure at any point leaves the old file as
// it was: the bytes go to a temporary file beside the target, which then takes its place.
#pragma once

#include <cerrno>
#include <string>
#include <string_view>

// What a save reports for a target that exists and is not a regular file: a device (as
// /dev/null, or a Windows device name such as NUL or COM1), a FIFO or a socket. Nothing is
// written and the target stays what it is.
inline constexpr int kSaveTargetNotAFile = ENODEV;

// Writes `bytes` to `path` atomically. Returns 0, or the errno of the step that failed; on
// failure the temporary file is removed and an existing target is untouched. A new file
// gets mode 0666 less the umask; a replaced file keeps its mode. Through a symbolic link
// the file it points to is replaced and the link kept. A read-only file is not replaced,
// nor anything but a regular file (kSaveTargetNotAFile, EISDIR for a folder).
// The temporary file has a short name of its own (so any legal target name can be saved);
// a signal that ends the process during the save removes it, and leftovers of saves whose
// process is gone (killed outright, a power loss) are removed by the next save beside them.
int SaveFileAtomically(const std::string& path, std::string_view bytes);
