// The user's own folder for what the program keeps between runs (the handset's backups),
// and the few file operations that folder needs. Other users must not read it: it holds
// phone numbers.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The folder `name` in the system's place for a user's application data, the place Qt's
// QStandardPaths::AppDataLocation names for an application called `name`: on Linux
// $XDG_DATA_HOME/name (when absolute), else $HOME/.local/share/name; on Windows
// %APPDATA%\name (the roaming application data folder). Empty when the system names no
// such place (no home folder).
std::string UserDataFolderPath(const std::string& name);

// `name` inside `folder`, with the system's separator.
std::string PathInFolder(const std::string& folder, const std::string& name);

// Creates `path` and every missing folder above it; the folders made are this user's alone
// (mode 0700 on Linux). 0, or the errno of the step that failed; an existing folder is fine.
int MakeFolderPath(const std::string& path);

// The names of the regular files directly inside `folder` (none when it cannot be read).
std::vector<std::string> FileNamesIn(const std::string& folder);

}  // namespace platform
