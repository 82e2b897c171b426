// Where the editor keeps the handset's backups, and whether an upload takes one and shows
// its changes first: a setting of the user's, kept between runs, on unless turned off.
#pragma once

#include <QString>

#include <string>

// The backup folder: "backups" in the application data folder QStandardPaths names (the
// same folder DefaultBackupFolder computes for the command line), as the system's path.
std::string EditorBackupFolder();

bool BackupBeforeUpload();
// False when the setting could not be written: it then holds only until the editor ends.
bool SetBackupBeforeUpload(bool on);
