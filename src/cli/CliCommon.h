// What every qvbook-cli command shares: exit codes, messages on stderr, and the phonebook
// files a command reads and writes.
#pragma once

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/VcardWriter.h"

class CDbPhoneCtrl;

// Exit codes (sysexits).
enum CliExit : int {
  kExitOk = 0,
  kExitUsage = 64,
  kExitInvalidPhonebook = 65,
  kExitNoInput = 66,
  kExitUnavailable = 69,
  kExitCannotCreate = 73,
  kExitWriteFailed = 74,
  kExitTransferFailed = 75,
  kExitInterrupted = 130
};

using CliArgs = std::vector<std::string>;

// An option a command knows: its name, whether a value follows it, and what takes the
// value ("" for an option without one). `take` returns false for a value the option does
// not take.
struct CliOption {
  std::string_view name;
  std::function<bool(std::string_view value)> take;
  bool hasValue = true;
};

// A command's operands, in order.
struct CommandLine {
  std::vector<std::string> operands;
};

// Splits `args`. Before a "--", an argument that begins with "-" (other than "-" alone) is
// an option; after it every argument is an operand, so that a file may be named "-h".
// An option with a value is written "NAME VALUE" or "NAME=VALUE". False on an option not
// among `known`, one without its value, a value given to an option that takes none, and a
// value its option refuses.
bool SplitCommandLine(const CliArgs& args, std::initializer_list<CliOption> known,
                      CommandLine& line);

// What takes the value of an option that names one of a few choices: `byName` gives the
// choice a word stands for, or nothing; the choice goes to `target` (which may itself be
// a std::optional, to tell whether the option was given).
template <typename T, typename ByName>
std::function<bool(std::string_view)> OptionChoice(T& target, ByName byName) {
  return [&target, byName](std::string_view value) {
    const auto choice = byName(value);
    if (choice) target = *choice;
    return choice.has_value();
  };
}
// What takes the value of an option given at most once with a value that is not empty (a
// path).
std::function<bool(std::string_view)> OptionOnce(std::string& target);
// What takes an option without a value: it sets `target`.
std::function<bool(std::string_view)> OptionFlag(bool& target);

// Prints a message as the editor shows it: the caption on one line, then the text (its
// "\r\n" as "\n", "%1" replaced by `argument`), then `detail` on a line of its own when given.
void PrintMessage(int captionId, int textId, std::string_view argument = {},
                  std::string_view detail = {});
// The same with the text given whole (a message composed of several string-table texts).
void PrintMessageText(int captionId, std::string_view text, std::string_view detail = {});

// A message's text as a terminal shows it: "\r\n" as "\n", and every byte that is not part of
// valid UTF-8 (a file name in Shift-JIS) or that is a control character other than "\n"
// as "\xHH", so that no name can garble the message or send the terminal a command.
std::string TerminalText(std::string_view text);

// Writes `text` as TerminalText, then a line end.
void PrintLine(std::ostream& out, std::string_view text);

// The OS's description of an errno value.
std::string OsReason(int error);

// Prints the framework's message for a file that could not be read, with the path and
// why; returns kExitNoInput.
int ReportUnreadable(const std::string& path, int error);

// Prints the write failure (captions 140/141) with that detail; returns kExitWriteFailed.
int ReportStoreFailed(const CDbPhoneCtrl& store, int error);

// True when the path names a handset image rather than a document (it ends in ".bin").
bool IsImagePath(std::string_view path);

// Fills the empty store from a document or an image file. On failure prints the message
// and returns the exit code; kExitOk on success.
int LoadPhonebookFile(CDbPhoneCtrl& store, const std::string& path);

// Writes the store to a document, an image or a vCard file (*.vcf, in `vcardVersion`),
// atomically. On failure prints the message and returns the exit code; kExitOk on success.
int SavePhonebookFile(CDbPhoneCtrl& store, const std::string& path,
                      VcardVersion vcardVersion = VcardVersion::V30);
