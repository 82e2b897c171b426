// qvbook-cli import BOOK FILE OUT [--duplicates overwrite|add|skip]: adds the rows of a
// comma-separated file, or the cards of a vCard file (a path ending in ".vcf"), to the
// phonebook BOOK exactly as the editor's import does, giving every duplicate the same
// answer (skip unless told otherwise), and writes the result to OUT.
#include <iostream>
#include <memory>
#include <optional>

#include "cli/CliCommands.h"
#include "files/CsvImport.h"
#include "files/FailureText.h"
#include "files/VcardFile.h"
#include "files/VcardImport.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "strings/StringTable.h"

namespace {

std::optional<int> MethodByName(std::string_view name) {
  if (name == "overwrite") return DuplicateOverwrite;
  if (name == "add") return DuplicateAddOther;
  if (name == "skip") return DuplicateSkip;
  return std::nullopt;
}

struct ImportArgs {
  std::string book, file, out;
  int method = DuplicateSkip;
};

std::optional<ImportArgs> ParseArgs(const CliArgs& args) {
  CommandLine line;
  if (!SplitCommandLine(args, {"--duplicates"}, line) || line.operands.size() != 3) return std::nullopt;
  ImportArgs parsed;
  for (const auto& [name, value] : line.options) {
    const std::optional<int> method = MethodByName(value);
    if (!method) return std::nullopt;
    parsed.method = *method;
  }
  parsed.book = line.operands[0];
  parsed.file = line.operands[1];
  parsed.out = line.operands[2];
  return parsed;
}

int ImportCsv(CDbPhoneCtrl& store, const ImportArgs& args, IDuplicateResolver& resolver) {
  const ImportSummary summary = ImportCsvFile(store, args.file, resolver);
  const ImportResultMessage message = MessageOfImportResult(summary.result);
  if (summary.result == ImportResult::OpenFailed) {
    PrintMessage(message.captionId, message.textId, {}, args.file + ": " + ReadFailureCause(summary.openError));
    return kExitNoInput;
  }
  // Nothing of a file that could not be read whole is kept, and nothing is written.
  if (summary.result == ImportResult::ReadFailed) return ReportUnreadable(args.file, summary.readError);
  if (summary.result == ImportResult::StoreFailed) {  // nothing is written
    PrintMessage(message.captionId, message.textId, {}, StoreFailureDetail(store, summary.storeError));
    return kExitWriteFailed;
  }
  // The limit ends the import early, yet what was added stays and is written, as in the editor.
  if (summary.result == ImportResult::LimitReached)
    PrintMessage(message.captionId, message.textId);
  if (int code = SavePhonebookFile(store, args.out); code != kExitOk) return code;

  if (summary.result == ImportResult::Finished) {
    PrintLine(std::cout, StringText(message.captionId));
    PrintLine(std::cout, StringText(message.textId));
  }
  std::cout << "added " << summary.added << ", overwritten " << summary.overwritten
            << ", skipped " << summary.skipped << ", refused " << summary.refused << '\n';
  return kExitOk;
}

// The vCard import's message with its summary and the cards it names: on standard output
// when every card was handled, on standard error (as a warning) when the phonebook filled.
int ImportVcard(CDbPhoneCtrl& store, const ImportArgs& args, IDuplicateResolver& resolver) {
  const VcardImportSummary summary = ImportVcardFile(store, args.file, resolver);
  const ImportResultMessage message = MessageOfVcardImport(summary);
  const std::string text = VcardImportMessageText(summary, true);
  switch (summary.result) {
    case VcardImportResult::OpenFailed:  // not opened, or not read whole
      PrintMessage(message.captionId, message.textId, {}, args.file + ": " + ReadFailureCause(summary.osError));
      return kExitNoInput;
    case VcardImportResult::TooLarge:
    case VcardImportResult::NotVcard:
    case VcardImportResult::MissingEnd:
    case VcardImportResult::Malformed:
    case VcardImportResult::TooManyCards:
    case VcardImportResult::TooManyItems:
    case VcardImportResult::OutOfMemory:
      PrintLine(std::cerr, StringText(message.captionId));
      PrintLine(std::cerr, text);
      PrintLine(std::cerr, args.file);
      // A file that could not be held in memory is input that could not be read.
      return summary.result == VcardImportResult::OutOfMemory ? kExitNoInput : kExitInvalidPhonebook;
    case VcardImportResult::StoreFailed:
      PrintLine(std::cerr, StringText(message.captionId));
      PrintLine(std::cerr, text);
      PrintLine(std::cerr, StoreFailureDetail(store, summary.storeError));
      return kExitWriteFailed;
    case VcardImportResult::Finished:
    case VcardImportResult::LimitReached:
      break;
  }
  if (int code = SavePhonebookFile(store, args.out); code != kExitOk) return code;
  std::ostream& out = summary.result == VcardImportResult::Finished ? std::cout : std::cerr;
  PrintLine(out, StringText(message.captionId));
  PrintLine(out, text);
  return kExitOk;
}

}  // namespace

int RunImport(const CliArgs& args) {
  const std::optional<ImportArgs> parsed = ParseArgs(args);
  if (!parsed) return kExitUsage;
  std::unique_ptr<StoreEnvironment> environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (int code = LoadPhonebookFile(store, parsed->book); code != kExitOk) return code;

  CFixedDuplicateResolver resolver(parsed->method);
  return IsVcardPath(parsed->file) ? ImportVcard(store, *parsed, resolver) : ImportCsv(store, *parsed, resolver);
}
