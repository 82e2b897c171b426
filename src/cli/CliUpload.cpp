// qvbook-cli upload [--port PATH] [--trace FILE] [--yes] [--no-backup] IN: sends a
// document's (or image's) phonebook to the handset and restarts it, as the editor's upload does: the
// handset's phonebook is backed up first and the changes shown and confirmed.
#include "cli/CliUpload.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>

#include "backup/HandsetBackups.h"
#include "backup/PhonebookChanges.h"
#include "cli/CliCommands.h"
#include "cli/CliTable.h"
#include "cli/CliTransfer.h"
#include "comm/RestartHandset.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/CodePage.h"
#include "platform/Console.h"
#include "strings/StringIds.h"
#include "strings/StringTable.h"

namespace {

std::string Cp932Text(int id) { return Utf8ToCp932(StringText(id)); }

std::string FourDigits(int number) {
  char text[8];
  std::snprintf(text, sizeof text, "%04d", number);
  return text;
}

// The changes as a table (what, number, name, the fields a change touches, their texts
// before and after), then the counts.
void PrintChanges(const PhonebookChanges& changes) {
  std::vector<TableRow> rows;
  for (const PhonebookEntry& entry : changes.added)
    rows.push_back({Cp932Text(IDS_CHANGE_ADDED), FourDigits(entry.memoryNumber), entry.name});
  for (const EntryChange& change : changes.changed)
    rows.push_back({Cp932Text(IDS_CHANGE_CHANGED), FourDigits(change.after.memoryNumber), change.after.name,
                    Utf8ToCp932(ChangedFieldNames(change.fields)), ChangedFieldTexts(change.before, change.fields),
                    ChangedFieldTexts(change.after, change.fields)});
  for (const PhonebookEntry& entry : changes.removed)
    rows.push_back({Cp932Text(IDS_CHANGE_REMOVED), FourDigits(entry.memoryNumber), entry.name});
  PrintTable(rows);
  if (!rows.empty()) std::cout << '\n';
  PrintLine(std::cout, ChangeSummaryText(changes));
  if (changes.RemovesMostEntries()) PrintLine(std::cout, StringText(IDS_PREVIEW_MANY_REMOVED));
  std::cout.flush();
}

// Asks on the terminal; true for "y" or "yes".
bool UserAgrees(const TransferInterrupt& interrupt) {
  std::cout.flush();
  std::cerr << StringText(IDS_PREVIEW_QUESTION);
  std::cerr.flush();
  std::string answer;
  if (!platform::ReadTypedLine(answer, 16, [&] { return interrupt.Interrupted(); })) {
    std::cerr << '\n';
    return false;
  }
  std::transform(answer.begin(), answer.end(), answer.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
  return answer == "y" || answer == "yes";
}


// A backup that could not be written: nothing was sent.
int ReportBackupNotWritten(const BackupWriteResult& written) {
  PrintMessage(IDS_BACKUP_CAPTION, IDS_BACKUP_WRITE_FAILED, {}, BackupFailureDetail(written));
  return written.status == BackupWriteResult::NoFolder ? kExitCannotCreate : kExitWriteFailed;
}

// The download half: the handset's phonebook into a new backup, the changes printed and,
// unless --yes, the user's answer. kExitOk with the backup's name when the upload may go on.
int BackUpAndAsk(CTransferSession& session, TransferInterrupt& interrupt, const UploadArgs& args,
                 const PhonebookImage& upload, std::string& backupName) {
  PrintLine(std::cerr, StringText(IDS_BACKUP_PROGRESS_TITLE));
  if (int exit = RunTransfer(session, interrupt, true, args.port, {}, {IDS_BACKUP_NOT_TAKEN_NOTE, {}}); exit != kExitOk)
    return exit;
  const auto handset = std::make_unique<PhonebookImage>(session.Image());
  const BackupWriteResult written = WriteBackup(DefaultBackupFolder(), *handset, session.PortName(), LocalTimeNow());
  if (written.status != BackupWriteResult::Ok) return ReportBackupNotWritten(written);
  backupName = written.name;
  PrintLine(std::cerr, FormatText(IDS_PREVIEW_BACKUP, {written.path}));
  PrintChanges(ComparePhonebooks(ImageEntries(*handset), ImageEntries(upload)));
  const bool agreed = args.yes || UserAgrees(interrupt);
  // Ctrl+C from the backup's end to here stops the upload as well.
  if (interrupt.Interrupted()) {
    PrintMessage(IDS_UPLOAD_ABORTED_CAPTION, IDS_UPLOAD_ABORTED);
    return kExitInterrupted;
  }
  if (agreed) return kExitOk;
  PrintMessage(IDS_CONFIRM_UPLOAD_CAPTION, IDS_UPLOAD_CANCELLED);
  return kExitInterrupted;
}

}  // namespace

bool ParseUploadArgs(const CliArgs& args, UploadArgs& parsed) {
  CommandLine line;
  if (!SplitCommandLine(args, {{"--port", OptionOnce(parsed.port)}, {"--trace", OptionOnce(parsed.trace)},
                               {"--yes", OptionFlag(parsed.yes), false}, {"--no-backup", OptionFlag(parsed.noBackup), false}},
                        line) ||
      line.operands.size() != 1)
    return false;
  parsed.file = line.operands.front();
  return !parsed.file.empty();
}

int UploadPhonebookFile(const UploadArgs& args) {
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (int exit = LoadPhonebookFile(store, args.file); exit != kExitOk) return exit;
  if (store.EntryCount() == 0) {  // the editor refuses to wipe the handset's phonebook
    PrintMessage(IDS_NO_ENTRIES_CAPTION, IDS_NO_ENTRIES);
    return kExitInvalidPhonebook;
  }
  TransferTrace trace;
  if (!trace.Open(args.trace)) return kExitCannotCreate;
  // Nobody could be asked: refused before the handset is touched.
  if (!args.noBackup && !args.yes && !platform::StandardInputIsTerminal()) {
    PrintMessage(IDS_CONFIRM_UPLOAD_CAPTION, IDS_PREVIEW_NO_TERMINAL);
    return kExitUsage;
  }
  const auto image = std::make_unique<PhonebookImage>();
  image->fill(0);
  const StoreResult built = store.BuildImage(*image);
  CTransferSession session;
  CUtiCtrl restart;
  session.SetTrace(trace.Trace());
  restart.SetTrace(trace.Trace());
  TransferInterrupt interrupt;
  TransferNote backupNote;
  if (!args.noBackup && built == StoreResult::Ok) {
    if (int exit = BackUpAndAsk(session, interrupt, args, *image, backupNote.argument); exit != kExitOk) return exit;
    backupNote.id = IDS_BACKUP_HOLDS_PHONEBOOK;
  }
  // An image that could not be built is refused by the session before anything is sent.
  auto build = [&](PhonebookImage& target) {
    target = *image;
    return built;
  };
  if (int exit = RunTransfer(session, interrupt, false, args.port, build, backupNote); exit != kExitOk) return exit;
  PrintResultMessage(SessionResult::Ok, false);
  // The handset holds the new image: it restarts unless the user interrupts the restart.
  interrupt.Watch(restart);
  trace.Step("restart the handset");
  RestartHandset(restart, args.port);
  return interrupt.Interrupted() ? kExitInterrupted : kExitOk;
}

int RunUpload(const CliArgs& args) {
  UploadArgs parsed;
  if (!ParseUploadArgs(args, parsed)) return kExitUsage;
  return UploadPhonebookFile(parsed);
}
