// qvbook-cli import BOOK CSV OUT [--duplicates overwrite|add|skip]: adds the rows of a
// comma-separated file to the phonebook BOOK exactly as the editor's import does, giving
// every duplicate the same answer (skip unless told otherwise), and writes the result to OUT.
#include <iostream>
#include <memory>
#include <optional>

#include "cli/CliCommands.h"
#include "files/CsvImport.h"
#include "files/FailureText.h"
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
  std::string book, csv, out;
  int method = DuplicateSkip;
};

std::optional<ImportArgs> ParseArgs(const CliArgs& args) {
  ImportArgs parsed;
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    std::optional<std::string_view> value;
    if (arg == "--duplicates") {
      if (i + 1 == args.size()) return std::nullopt;
      value = args[++i];
    } else if (arg.starts_with("--duplicates=")) {
      value = arg.substr(arg.find('=') + 1);
    } else if (arg.starts_with("--")) {
      return std::nullopt;
    } else {
      paths.emplace_back(arg);
      continue;
    }
    std::optional<int> method = MethodByName(*value);
    if (!method) return std::nullopt;
    parsed.method = *method;
  }
  if (paths.size() != 3) return std::nullopt;
  parsed.book = paths[0];
  parsed.csv = paths[1];
  parsed.out = paths[2];
  return parsed;
}

}  // namespace

int RunImport(const CliArgs& args) {
  const std::optional<ImportArgs> parsed = ParseArgs(args);
  if (!parsed) return kExitUsage;
  std::unique_ptr<StoreEnvironment> environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (int code = LoadPhonebookFile(store, parsed->book); code != kExitOk) return code;

  CFixedDuplicateResolver resolver(parsed->method);
  const ImportSummary summary = ImportCsvFile(store, parsed->csv, resolver);
  const ImportResultMessage message = MessageOfImportResult(summary.result);
  if (summary.result == ImportResult::OpenFailed) {
    PrintMessage(message.captionId, message.textId, {},
                 parsed->csv + ": " + OsReason(summary.openError));
    return kExitNoInput;
  }
  if (summary.result == ImportResult::StoreFailed) {  // nothing is written
    PrintMessage(message.captionId, message.textId, {},
                 StoreFailureDetail(store, summary.storeError));
    return kExitWriteFailed;
  }
  // The limit ends the import early, yet what was added stays and is written, as in the editor.
  if (summary.result == ImportResult::LimitReached)
    PrintMessage(message.captionId, message.textId);
  if (int code = SavePhonebookFile(store, parsed->out); code != kExitOk) return code;

  if (summary.result == ImportResult::Finished)
    std::cout << StringText(message.captionId) << '\n' << StringText(message.textId) << '\n';
  std::cout << "added " << summary.added << ", overwritten " << summary.overwritten
            << ", skipped " << summary.skipped << ", refused " << summary.refused << '\n';
  return kExitOk;
}
