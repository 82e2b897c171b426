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
#include "strings/StringIds.h"
#include "strings/StringTable.h"

namespace {

std::string EditorText(int id, std::string_view argument) {
  return TerminalText(FormatText(id, {argument}));
}

// The framework's message for a file that cannot be read, with the OS reason after it.
int ReportUnreadable(const std::string& path, int error) {
  PrintMessage(IDS_APP_TITLE, ReadFailureTextId(error), path, path + ": " + OsReason(error));
  return kExitNoInput;
}

// Errors that mean the data could not be written, as opposed to the file not created.
bool IsWriteError(int error) {
  return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EIO || error == kSaveNotDurable;
}

// A load that could not put its entries into the store: nothing is written.
int ReportLoadStoreFailed(const CDbPhoneCtrl& store, const std::string& path) {
  PrintMessage(IDS_APP_TITLE, AFX_IDP_FILE_READ_ERROR, path,
               StoreFailureDetail(store, store.LastOsError()));
  return kExitWriteFailed;
}

int ReportNoSlot(const CDbPhoneCtrl& store) {
  // When an unusable work folder is the reason (rather than all slots taken), a line names
  // the folder and says what is wrong with it.
  PrintMessage(IDS_OPEN_CAPTION, IDS_OPEN_NO_SLOT, {}, UnusableFolderText(store.Environment().Trouble()));
  return kExitCannotCreate;
}

// The write failure, then the editor's own text for it and the OS reason.
int ReportWriteFailed(const std::string& path, int error) {
  std::string detail = EditorText(WriteFailureTextId(error), path);
  if (const std::string reason = WriteFailureReason(error); !reason.empty()) detail += "\n" + path + ": " + reason;
  PrintMessage(IDS_WRITE_CAPTION, IDS_WRITE_FAILED, {}, detail);
  return IsWriteError(error) ? kExitWriteFailed : kExitCannotCreate;
}

}  // namespace

int ReportStoreFailed(const CDbPhoneCtrl& store, int error) {
  PrintMessage(IDS_WRITE_CAPTION, IDS_WRITE_FAILED, {}, StoreFailureDetail(store, error));
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
      PrintMessage(IDS_READ_CAPTION, IDS_INVALID_FORMAT, {},
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
      PrintMessage(IDS_READ_CAPTION, IDS_INVALID_FORMAT);
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
