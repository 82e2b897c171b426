// The user's private folder for temporary files, and the few file operations the store
// needs inside it. Other users must neither read nor replace what we keep there.
#pragma once

#include <string>
#include <vector>

namespace platform {

// $XDG_RUNTIME_DIR/qvbook, else $TMPDIR/qvbook-<uid>, else /tmp/qvbook-<uid>.
std::string UserPrivateFolderPath();

// Why a folder for private files cannot be used.
enum class FolderProblem {
  None,
  MissingParent,      // the folder it belongs in does not exist (no runtime folder)
  NotWritable,        // it cannot be made, or nothing can be written in it
  OtherOwner,         // it belongs to another user
  SymbolicLink,       // a symbolic link (or junction) stands in its place
  NotAFolder,         // a file or something else stands in its place
  CannotMakePrivate,  // the access others have to it cannot be taken away
  Other               // anything else; the error number says what
};

struct FolderCheck {
  FolderProblem problem = FolderProblem::None;
  int osError = 0;  // errno behind the problem, 0 when there is none
  explicit operator bool() const { return problem == FolderProblem::None; }
};

// Creates `path` with mode 0700 when missing, then checks that it is a real folder (not a
// symbolic link) owned by this user that this user can write in; access for others is
// taken away. Says what is wrong when the folder cannot be used.
FolderCheck EnsurePrivateFolder(const std::string& path);

// A new uniquely named folder "<prefix>XXXXXX" inside `parent`; empty on failure.
std::string MakeUniqueFolder(const std::string& parent, const std::string& prefix);

// Folders directly inside `parent` whose names start with `prefix` and that have not
// changed for at least `minAgeSeconds`.
std::vector<std::string> QuietSubfolders(const std::string& parent, const std::string& prefix,
                                         int minAgeSeconds);

// Removes the plain files directly inside `path`, then the folder itself.
void RemoveFolder(const std::string& path);

// True when anything (file, folder, link) exists at `path`.
bool FileExists(const std::string& path);

// Deletes the file at `path`; false when it could not be deleted (or did not exist).
bool RemoveFile(const std::string& path);

// Creates an empty file readable and writable by this user only; false when something
// already exists at `path` or the file cannot be made. A symbolic link is never followed.
bool CreatePrivateFile(const std::string& path);

// The name under which SQLite opens the file at `path`. SQLite takes UTF-8 names; paths
// here are in the system's own encoding (on Windows the ANSI code page).
std::string SqliteFileName(const std::string& path);

}  // namespace platform
