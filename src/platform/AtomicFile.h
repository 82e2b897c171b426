// Replacing a file's whole content so that a failure at any point leaves the old file as
// it was: the bytes go to a temporary file beside the target, which then takes its place.
#pragma once

#include <string>
#include <string_view>

// Writes `bytes` to `path` atomically. Returns 0, or the errno of the step that failed; on
// failure the temporary file is removed and an existing target is untouched. A new file
// gets mode 0666 less the umask; a replaced file keeps its mode. Through a symbolic link
// the file it points to is replaced and the link kept. A read-only file is not replaced.
int SaveFileAtomically(const std::string& path, std::string_view bytes);
