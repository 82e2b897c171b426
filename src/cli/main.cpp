// qvbook-cli: the phonebook core without windows. Looks the command up in a table and runs
// it; each command lives in a file of its own. Whatever a command printed must reach
// standard output, or the program says so and fails.
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "cli/CliCommands.h"
#include "cli/StandardOutput.h"
#include "platform/Console.h"
#include "strings/StringIds.h"

namespace {

struct CliCommand {
  const char* name;
  int (*run)(const CliArgs& args);
  const char* arguments;
  const char* description;
};

const CliCommand kCommands[] = {
    {"show", RunShow, "FILE", "the entries of a document or image (*.bin) as a table"},
    {"convert", RunConvert, "IN OUT [--vcard-version 2.1|3.0]",
     "between documents (*.csv comma, else tab) and images (*.bin); OUT may be vCard (*.vcf)"},
    {"import", RunImport, "BOOK CSV OUT [--duplicates overwrite|add|skip]",
     "BOOK with a comma-separated file's rows, or a vCard file's (*.vcf) cards, added, into OUT"},
    {"download", RunDownload, "[--port PATH] [--trace FILE] OUT", "the handset's phonebook into a document or image"},
    {"upload", RunUpload, "[--port PATH] [--trace FILE] [--yes] [--no-backup] IN",
     "a document or image to the handset, then restart it; first the handset's phonebook is "
     "backed up and the changes are shown and asked about (--yes: not asked; --no-backup: none of it)"},
    {"backups", RunBackups, "", "the handset's phonebooks backed up before uploads, newest first"},
    {"restore", RunRestore, "BACKUP [--port PATH] [--trace FILE] [--yes] [--no-backup]",
     "a backup (its name in the list, or a path) to the handset, as upload does"},
    {"ports", RunPorts, "", "the serial ports, the handset marked with *"},
    {"readings", RunReadings, "BOOK OUT [--all]",
     "BOOK with the dictionary's reading for every entry without one (every entry with --all), into OUT"},
};

void PrintUsage(std::ostream& out) {
  out << "usage:\n";
  for (const CliCommand& command : kCommands) {
    std::string call = std::string(command.name) + ' ' + command.arguments;
    out << "  qvbook-cli " << call << std::string(call.size() < 24 ? 24 - call.size() : 1, ' ')
        << command.description << '\n';
  }
  out << "  qvbook-cli --help\n"
      << "Options go before or after the files; after \"--\" every argument is a file.\n";
}

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

int RunCommandLine(int argc, char** argv) {
  if (argc == 2 && IsHelp(argv[1])) {
    PrintUsage(std::cout);
    return kExitOk;
  }
  if (argc >= 2) {
    for (const CliCommand& command : kCommands) {
      if (std::strcmp(argv[1], command.name) != 0) continue;
      // "qvbook-cli show --help" asks for the command's usage, not for a file of that name;
      // help among other arguments is a mistake (an option the command does not know).
      if (argc == 3 && IsHelp(argv[2])) {
        std::cout << "usage: qvbook-cli " << command.name << ' ' << command.arguments << '\n'
                  << "  " << command.description << '\n';
        return kExitOk;
      }
      int exit = command.run(CliArgs(argv + 2, argv + argc));
      if (exit == kExitUsage) {
        std::cerr << "usage: qvbook-cli " << command.name << ' ' << command.arguments << '\n';
      }
      return exit;
    }
    PrintLine(std::cerr, std::string("qvbook-cli: unknown command '") + argv[1] + "'");
  }
  PrintUsage(std::cerr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (!platform::PrepareStandardStreams()) return kExitWriteFailed;
  RouteStandardOutput();
  const int exit = RunCommandLine(argc, argv);
  if (const int error = FinishStandardOutput(); error != 0) {
    PrintMessage(IDS_WRITE_CAPTION, IDS_WRITE_FAILED, {}, "standard output: " + OsReason(error));
    return exit == kExitOk ? kExitWriteFailed : exit;
  }
  return exit;
}
