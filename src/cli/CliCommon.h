// What every qvbook-cli command shares: exit codes, messages on stderr, and the phonebook
// files a command reads and writes.
#pragma once

#include <initializer_list>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
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

// A command's arguments: its operands in order, and its options with their values.
struct CommandLine {
  std::vector<std::string> operands;
  std::vector<std::pair<std::string, std::string>> options;  // name, value
};

// Splits `args`. Before a "--", an argument that begins with "-" (other than "-" alone) is
// an option; after it every argument is an operand, so that a file may be named "-h".
// Options take a value, written "NAME VALUE" or "NAME=VALUE", and must be among `known`.
// False on any other option, and on one without its value.
bool SplitCommandLine(const CliArgs& args, std::initializer_list<std::string_view> known,
                      CommandLine& line);

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
