// Messages, exit codes and phonebook file handling shared by the qvbook-cli commands.
#include "cli/CliCommon.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

#include "files/DocumentFile.h"
#include "files/FailureText.h"
#include "files/VcardFile.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/AtomicFile.h"
#include "platform/Errno.h"
#include "strings/StringTable.h"

namespace {

// String ids of the messages the commands print.
constexpr int kTitle = 128;              // the editor's title: caption of framework messages
constexpr int kOpenCaption = 136;        // "ファイルのオープン"
constexpr int kOpenNoSlotText = 137;
constexpr int kReadCaption = 138;        // "ファイルからデータの読出し"
constexpr int kInvalidFormatText = 139;
constexpr int kWriteCaption = 140;       // "ファイルへのデータの書込み"
constexpr int kWriteFailedText = 141;
constexpr int kFileNotFoundText = 61729;
constexpr int kFileInUseText = 61731;
constexpr int kReadErrorText = 61733;
constexpr int kNotAFileText = 248;       // "%1 はファイルではない…"


std::string EditorText(int id, std::string_view argument) {
  std::string text = TerminalText(StringText(id));
  if (auto at = text.find("%1"); at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

// The framework's message for a file that cannot be read, with the OS reason after it.
int ReportUnreadable(const std::string& path, int error) {
  int textId = error == ENOENT ? kFileNotFoundText
               : (error == EACCES || error == EBUSY || error == ETXTBSY) ? kFileInUseText
                                                                         : kReadErrorText;
  PrintMessage(kTitle, textId, path, path + ": " + OsReason(error));
  return kExitNoInput;
}

// Errors that mean the data could not be written, as opposed to the file not created.
bool IsWriteError(int error) {
  return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EIO;
}

// A load that could not put its entries into the store: nothing is written.
int ReportLoadStoreFailed(const CDbPhoneCtrl& store, const std::string& path) {
  PrintMessage(kTitle, kReadErrorText, path, StoreFailureDetail(store, store.LastOsError()));
  return kExitWriteFailed;
}

// The line that names the store's folder and says why it cannot be used; nothing when the
// folder is fine (all slots taken is the only other reason for a store without one).
void PrintFolderTrouble(const CDbPhoneCtrl& store) {
  const FolderTrouble& trouble = store.Environment().Trouble();
  if (trouble.check) return;
  std::string line = EditorText(kUnusableFolderTextId, trouble.path);
  std::string reason(StringText(FolderProblemReasonId(trouble.check.problem)));
  if (trouble.check.problem == platform::FolderProblem::Other && trouble.check.osError != 0)
    reason += ": " + OsReason(trouble.check.osError);
  if (auto at = line.find("%2"); at != std::string::npos) line.replace(at, 2, reason);
  std::cerr << line << std::endl;
}

int ReportNoSlot(const CDbPhoneCtrl& store) {
  PrintMessage(kOpenCaption, kOpenNoSlotText);
  PrintFolderTrouble(store);
  return kExitCannotCreate;
}

int ReportWriteFailed(const std::string& path, int error) {
  const std::string detail = error == kSaveTargetNotAFile ? EditorText(kNotAFileText, path)
                                                          : path + ": " + OsReason(error);
  PrintMessage(kWriteCaption, kWriteFailedText, {}, detail);
  return IsWriteError(error) ? kExitWriteFailed : kExitCannotCreate;
}

}  // namespace

int ReportStoreFailed(const CDbPhoneCtrl& store, int error) {
  PrintMessage(kWriteCaption, kWriteFailedText, {}, StoreFailureDetail(store, error));
  return kExitWriteFailed;
}

void PrintMessage(int captionId, int textId, std::string_view argument, std::string_view detail) {
  std::cerr << EditorText(captionId, argument) << '\n' << EditorText(textId, argument) << '\n';
  if (!detail.empty()) std::cerr << TerminalText(detail) << '\n';
  std::cerr.flush();
}

bool TakeOption(const CliArgs& args, std::size_t& i, std::string_view name, std::string& value) {
  const std::string_view arg = args[i];
  if (arg == name) {
    value = i + 1 < args.size() ? args[++i] : std::string();
    return true;
  }
  if (!arg.starts_with(name) || arg.size() == name.size() || arg[name.size()] != '=') return false;
  value = arg.substr(name.size() + 1);
  return true;
}

std::string TerminalText(std::string_view text) {
  std::string terminal;
  terminal.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') terminal += text[i];
  }
  return terminal;
}

std::string OsReason(int error) { return std::strerror(error); }

bool IsImagePath(std::string_view path) { return path.ends_with(".bin"); }

int LoadPhonebookFile(CDbPhoneCtrl& store, const std::string& path) {
  if (!store.HasSlot()) return ReportNoSlot(store);  // an image needs the store as much
  if (IsImagePath(path)) {
    auto image = std::make_unique<PhonebookImage>();
    ImageFileResult read = ReadImageFile(path, *image);
    if (read.status == ImageFileResult::CannotRead) return ReportUnreadable(path, read.osError);
    if (read.status == ImageFileResult::WrongSize) {
      PrintMessage(kReadCaption, kInvalidFormatText, {},
                   path + ": a handset image has " + std::to_string(kImageSize) +
                       " bytes, this file has " + std::to_string(read.actualSize));
      return kExitInvalidPhonebook;
    }
    if (LoadPhonebookImage(*image, store) != StoreOk) return ReportLoadStoreFailed(store, path);
    return kExitOk;
  }
  DocumentLoadResult loaded = LoadDocument(store, path);
  switch (loaded.status) {
    case DocumentLoadResult::Ok:
      return kExitOk;
    case DocumentLoadResult::NoSlot:
      return ReportNoSlot(store);
    case DocumentLoadResult::CannotRead:
      return ReportUnreadable(path, loaded.osError);
    case DocumentLoadResult::InvalidFormat:
      PrintMessage(kReadCaption, kInvalidFormatText);
      return kExitInvalidPhonebook;
    case DocumentLoadResult::StoreFailed:
      return ReportLoadStoreFailed(store, path);
  }
  return kExitInvalidPhonebook;
}

int SavePhonebookFile(CDbPhoneCtrl& store, const std::string& path, VcardVersion vcardVersion) {
  if (IsVcardPath(path)) {
    const VcardExportResult exported = ExportVcardFile(store, path, vcardVersion);
    if (exported.status == VcardExportResult::StoreFailed) return ReportStoreFailed(store, store.LastOsError());
    return exported.status == VcardExportResult::Ok ? kExitOk : ReportWriteFailed(path, exported.osError);
  }
  if (IsImagePath(path)) {
    auto image = std::make_unique<PhonebookImage>();
    image->fill(0);
    if (store.BuildImage(*image) != 0) return ReportStoreFailed(store, store.LastOsError());
    ImageFileResult written = WriteImageFile(path, *image);
    return written.status == ImageFileResult::Ok ? kExitOk : ReportWriteFailed(path, written.osError);
  }
  DocumentSaveResult saved = SaveDocument(store, path);
  switch (saved.status) {
    case DocumentSaveResult::Ok:
      return kExitOk;
    case DocumentSaveResult::StoreFailed:
      return ReportStoreFailed(store, saved.osError);
    case DocumentSaveResult::WriteFailed:
      return ReportWriteFailed(path, saved.osError);
  }
  return kExitWriteFailed;
}
