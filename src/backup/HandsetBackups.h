// The handset's phonebook as it was before each upload: phonebook documents (comma
// separated) in the user's data folder, named by the date and time they were taken and
// the port they were read from, the newest kBackupsKept of them kept.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "phonebook/PhonebookImage.h"

inline constexpr int kBackupsKept = 20;
// The program's folder in the user's data folder: the editor's application name, so that
// the editor (through Qt) and qvbook-cli (through the platform) find the same backups.
inline constexpr const char* kDataFolderName = "qvbook";
inline constexpr const char* kBackupSubfolder = "backups";

struct BackupInfo {
  std::string path;      // the file
  std::string name;      // its name in the folder
  std::string dateTime;  // when it was taken: "2025/03/14 09:30:12"
  std::string source;    // the port it was read from ("ttyACM0", "COM3")
  int entries = -1;      // its entries; -1 when the file cannot be read
};

struct BackupWriteResult {
  enum Status {
    Ok,
    NoFolder,     // the folder could not be made; osError says why
    StoreFailed,  // the image's entries could not be put into a store to be saved
    WriteFailed   // the document could not be written; osError says why
  };
  Status status = Ok;
  int osError = 0;
  std::string path;  // the backup (Ok), or what could not be made or written
  std::string name;  // the backup's file name (Ok)
};

// The backup folder in the user's data folder as the system names it (the command line's);
// empty when the system names none.
std::string DefaultBackupFolder();

// The file name of a backup taken at `when` from `port`: "20250314-093012_ttyACM0.csv";
// a `sequence` above 1 tells apart backups taken in the same second ("20250314-093012-2_...").
std::string BackupFileName(const std::tm& when, std::string_view port, int sequence = 1);

// The backups in `folder`, newest first; files not named as backups are left out.
std::vector<BackupInfo> ListBackups(const std::string& folder);

// The local time now, which names a backup taken now.
std::tm LocalTimeNow();

// Writes the phonebook of `image` (taken from `port` at `when`) as a new backup in
// `folder`, which is made when missing, the way every document is saved: the file appears
// whole or not at all. Then removes all but the newest kBackupsKept backups.
BackupWriteResult WriteBackup(const std::string& folder, const PhonebookImage& image,
                              std::string_view port, const std::tm& when);

// Where and why a backup could not be written, for the line after the message.
std::string BackupFailureDetail(const BackupWriteResult& written);

// The backup `nameOrPath` names: a backup's file name in `folder`, else a path as given.
std::string ResolveBackup(const std::string& folder, const std::string& nameOrPath);
