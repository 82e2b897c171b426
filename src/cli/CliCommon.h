// What every qvbook-cli command shares: exit codes, messages on stderr, and the phonebook
// files a command reads and writes.
#pragma once

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

// True when args[i] is the option `name`, written "NAME VALUE" (i then moves to the value)
// or "NAME=VALUE"; `value` receives the value, empty when it is missing.
bool TakeOption(const CliArgs& args, std::size_t& i, std::string_view name, std::string& value);

// Prints a message as the editor shows it: the caption on one line, then the text (its
// "\r\n" as "\n", "%1" replaced by `argument`), then `detail` on a line of its own when given.
void PrintMessage(int captionId, int textId, std::string_view argument = {},
                  std::string_view detail = {});
// The same with the text given whole (a message composed of several string-table texts).
void PrintMessageText(int captionId, std::string_view text, std::string_view detail = {});

// A message's text as a terminal shows it: "\r\n" as "\n".
std::string TerminalText(std::string_view text);

// The OS's description of an errno value.
std::string OsReason(int error);

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
