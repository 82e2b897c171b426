// qvbook-cli import BOOK FILE OUT [--duplicates overwrite|add|skip]: adds the rows of a
// comma-separated file, or the cards of a vCard file (a path ending in ".vcf"), to the
// phonebook BOOK exactly as the editor's import does, giving every duplicate the same
// answer (skip unless told otherwise), and writes the result to OUT.
#include <iostream>
#include <memory>
#include <optional>

#include "cli/CliCommands.h"
#include "files/FailureText.h"
#include "files/ImportFile.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "strings/StringTable.h"

namespace {

std::optional<DuplicateMethod> MethodByName(std::string_view name) {
  if (name == "overwrite") return DuplicateMethod::Overwrite;
  if (name == "add") return DuplicateMethod::AddOther;
  if (name == "skip") return DuplicateMethod::Skip;
  return std::nullopt;
}

// The message of an import that changed nothing, on standard error; its exit code.
int ReportRefusedImport(const ImportSummary& summary, const std::string& file, const CDbPhoneCtrl& store) {
  const ImportMessage message = MessageOfImport(summary);
  const std::string text = ImportMessageText(summary, true);
  switch (summary.result) {
    case ImportResult::OpenFailed:  // not opened, or (a vCard file) not read whole
      PrintMessageText(message.captionId, text, file + ": " + ReadFailureCause(summary.osError));
      return kExitNoInput;
    case ImportResult::ReadFailed:  // nothing of a file that could not be read whole is kept
      return ReportUnreadable(file, summary.osError);
    case ImportResult::StoreFailed:
      PrintMessageText(message.captionId, text, StoreFailureDetail(store, summary.storeError));
      return kExitWriteFailed;
    case ImportResult::OutOfMemory:  // a file that could not be held in memory could not be read
      PrintMessageText(message.captionId, text, file);
      return kExitNoInput;
    default:  // a vCard file that is not one
      PrintMessageText(message.captionId, text, file);
      return kExitInvalidPhonebook;
  }
}

// The closing message: on standard output when every row was handled, on standard error
// (as a warning) when the phonebook filled. A comma-separated file's rows are counted on a
// line of their own; a vCard file's message counts its cards and names them.
void ReportImport(const ImportSummary& summary) {
  const ImportMessage message = MessageOfImport(summary);
  const bool csv = summary.source == ImportSource::Csv;
  std::ostream& out = summary.result == ImportResult::Finished ? std::cout : std::cerr;
  PrintLine(out, StringText(message.captionId));
  PrintLine(out, csv ? std::string(StringText(message.textId)) : ImportMessageText(summary, true));
  if (csv) {
    std::cout << "added " << summary.added << ", overwritten " << summary.overwritten << ", skipped "
              << summary.skipped << ", refused " << summary.refused << '\n';
  }
}

}  // namespace

int RunImport(const CliArgs& args) {
  DuplicateMethod method = DuplicateMethod::Skip;
  CommandLine line;
  if (!SplitCommandLine(args, {{"--duplicates", OptionChoice(method, MethodByName)}}, line) ||
      line.operands.size() != 3)
    return kExitUsage;
  const std::string& book = line.operands[0];
  const std::string& file = line.operands[1];
  const std::string& out = line.operands[2];

  std::unique_ptr<StoreEnvironment> environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (int code = LoadPhonebookFile(store, book); code != kExitOk) return code;
  CFixedDuplicateResolver resolver(method);
  const ImportSummary summary = ImportFile(store, file, resolver);
  if (!ImportKeptRows(summary)) return ReportRefusedImport(summary, file, store);
  // The limit ends the import early, yet what was added stays and is written, as in the editor.
  if (int code = SavePhonebookFile(store, out); code != kExitOk) return code;
  ReportImport(summary);
  return kExitOk;
}
