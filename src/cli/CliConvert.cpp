// qvbook-cli convert IN OUT [--vcard-version 2.1|3.0]: reads a document or handset image
// and writes it as a document, an image or a vCard file, each side chosen by its ending
// (".bin", ".vcf"). A document is written byte for byte as the editor's Save writes it; a
// vCard file is 3.0 in UTF-8 unless 2.1 (Shift-JIS, for feature phones) is asked for.
#include <optional>

#include "cli/CliCommands.h"
#include "files/VcardFile.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"

namespace {

std::optional<VcardVersion> VersionByName(std::string_view name) {
  if (name == "2.1") return VcardVersion::V21;
  if (name == "3.0") return VcardVersion::V30;
  return std::nullopt;
}

struct ConvertArgs {
  std::string in, out;
  VcardVersion version = VcardVersion::V30;
};

std::optional<ConvertArgs> ParseArgs(const CliArgs& args) {
  std::optional<VcardVersion> version;  // when given
  CommandLine line;
  if (!SplitCommandLine(args, {{"--vcard-version", OptionChoice(version, VersionByName)}}, line) || line.operands.size() != 2)
    return std::nullopt;
  ConvertArgs parsed{line.operands[0], line.operands[1], version.value_or(VcardVersion::V30)};
  // The version is a vCard file's only.
  if (version && !IsVcardPath(parsed.out)) return std::nullopt;
  return parsed;
}

}  // namespace

int RunConvert(const CliArgs& args) {
  const std::optional<ConvertArgs> parsed = ParseArgs(args);
  if (!parsed) return kExitUsage;
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (int exit = LoadPhonebookFile(store, parsed->in); exit != kExitOk) return exit;
  return SavePhonebookFile(store, parsed->out, parsed->version);
}
