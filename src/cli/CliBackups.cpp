// qvbook-cli backups: the handset's phonebooks kept before uploads, newest first.
// qvbook-cli restore BACKUP [--port PATH] [--yes] [--no-backup]: uploads one of them (by
// its name in the list, or a path), as upload does with any phonebook.
#include <iostream>

#include "backup/HandsetBackups.h"
#include "cli/CliCommands.h"
#include "cli/CliTable.h"
#include "cli/CliUpload.h"
#include "platform/CodePage.h"
#include "strings/StringIds.h"
#include "strings/StringTable.h"

int RunBackups(const CliArgs& args) {
  if (!args.empty()) return kExitUsage;
  const std::string folder = DefaultBackupFolder();
  if (folder.empty()) {
    PrintLine(std::cerr, "qvbook-cli: no home folder (HOME or XDG_DATA_HOME) to keep backups in");
    return kExitNoInput;
  }
  PrintLine(std::cout, FormatText(IDS_RESTORE_FOLDER, {folder}));
  const std::vector<BackupInfo> backups = ListBackups(folder);
  if (backups.empty()) {
    PrintLine(std::cout, StringText(IDS_RESTORE_NONE));
    return kExitOk;
  }
  std::vector<TableRow> rows{{Utf8ToCp932(StringText(IDS_COLUMN_DATE)), Utf8ToCp932(StringText(IDS_COLUMN_ENTRIES)),
                              Utf8ToCp932(StringText(IDS_COLUMN_SOURCE)), Utf8ToCp932(StringText(IDS_COLUMN_FILE))}};
  for (const BackupInfo& backup : backups) {
    const std::string entries = backup.entries < 0 ? std::string(StringText(IDS_BACKUP_UNREADABLE))
                                                   : FormatText(IDS_ENTRY_COUNT, {std::to_string(backup.entries)});
    rows.push_back({backup.dateTime, Utf8ToCp932(entries), backup.source, backup.name});
  }
  PrintTable(rows);
  return kExitOk;
}

int RunRestore(const CliArgs& args) {
  UploadArgs parsed;
  if (!ParseUploadArgs(args, parsed)) return kExitUsage;
  parsed.file = ResolveBackup(DefaultBackupFolder(), parsed.file);
  return UploadPhonebookFile(parsed);
}
