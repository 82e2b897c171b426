// Messages, exit codes and phonebook file handling shared by the qvbook-cli commands.
#include "cli/CliCommon.h"

#include <algorithm>
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

// The length of the valid UTF-8 sequence that begins at text[i]; 0 when none does (a stray
// byte, a cut-off, overlong or surrogate sequence).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto at = [text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = at(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the byte after the lead byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size() || at(i + 1) < low || at(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if ((at(i + k) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// C0 controls but the line feed, DEL, and the C1 controls (U+0080 to U+009F).
bool IsControlCharacter(std::string_view character) {
  const auto first = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return (first < 0x20 && first != '\n') || first == 0x7F;
  return first == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
}

std::string EditorText(int id, std::string_view argument) {
  return TerminalText(FormatText(id, {argument}));
}

// A message's lines on stderr: caption, text, and the detail when there is one. What a
// command printed on stdout before comes first.
void PrintLines(std::string_view caption, std::string_view text, std::string_view detail) {
  std::cout.flush();
  std::cerr << TerminalText(caption) << '\n' << TerminalText(text) << '\n';
  if (!detail.empty()) std::cerr << TerminalText(detail) << '\n';
  std::cerr.flush();
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

int ReportUnreadable(const std::string& path, int error) {
  PrintMessage(IDS_APP_TITLE, ReadFailureTextId(error), path, path + ": " + ReadFailureCause(error));
  return kExitNoInput;
}

int ReportStoreFailed(const CDbPhoneCtrl& store, int error) {
  PrintMessage(IDS_WRITE_CAPTION, IDS_WRITE_FAILED, {}, StoreFailureDetail(store, error));
  return kExitWriteFailed;
}

void PrintMessage(int captionId, int textId, std::string_view argument, std::string_view detail) {
  PrintLines(FormatText(captionId, {argument}), FormatText(textId, {argument}), detail);
}

void PrintMessageText(int captionId, std::string_view text, std::string_view detail) {
  PrintLines(StringText(captionId), text, detail);
}

void PrintLine(std::ostream& out, std::string_view text) {
  if (&out == &std::cerr) std::cout.flush();
  out << TerminalText(text) << '\n';
}

bool SplitCommandLine(const CliArgs& args, std::initializer_list<CliOption> known,
                      CommandLine& line) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      line.operands.push_back(args[i]);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const std::string_view name = arg.substr(0, arg.find('='));
    const auto option = std::find_if(known.begin(), known.end(),
                                     [name](const CliOption& each) { return each.name == name; });
    if (option == known.end()) return false;
    std::string_view value;
    if (name.size() < arg.size()) {
      if (!option->hasValue) return false;
      value = arg.substr(name.size() + 1);
    } else if (option->hasValue) {
      if (i + 1 == args.size()) return false;
      value = args[++i];
    }
    if (!option->take(value)) return false;
  }
  return true;
}

std::function<bool(std::string_view)> OptionOnce(std::string& target) {
  return [&target, given = false](std::string_view value) mutable {
    if (given || value.empty()) return false;
    given = true;
    target = value;
    return true;
  };
}

std::function<bool(std::string_view)> OptionFlag(bool& target) {
  return [&target](std::string_view) { return target = true; };
}

std::string TerminalText(std::string_view text) {
  std::string terminal;
  terminal.reserve(text.size());
  const auto escape = [&terminal](unsigned char byte) {
    static const char kHex[] = "0123456789ABCDEF";
    terminal += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      continue;
    }
    const std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0 || IsControlCharacter(text.substr(i, length))) {
      for (std::size_t end = i + std::max<std::size_t>(length, 1); i < end; ++i)
        escape(static_cast<unsigned char>(text[i]));
      continue;
    }
    terminal.append(text.substr(i, length));
    i += length;
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
    if (LoadPhonebookImage(*image, store) != StoreResult::Ok) return ReportLoadStoreFailed(store, path);
    return kExitOk;
  }
  DocumentLoadResult loaded = LoadDocument(store, path);
  switch (loaded.status) {
    case DocumentLoadResult::Ok:
      return kExitOk;
    case DocumentLoadResult::NoSlot:
      return ReportNoSlot(store);
    case DocumentLoadResult::CannotRead:
    case DocumentLoadResult::ReadFailed:
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
    if (store.BuildImage(*image) != StoreResult::Ok) return ReportStoreFailed(store, store.LastOsError());
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
