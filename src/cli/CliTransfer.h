// What qvbook-cli download and upload share: the --port option, a whole transfer session
// with Ctrl+C turned into an abort, and the editor's messages for its results.
#pragma once

#include <string>

#include "cli/CliCommon.h"
#include "comm/TransferSession.h"

struct TransferArgs {
  std::string port;  // --port PATH; empty: QVBOOK_PORT or the search by USB identifier
  std::string file;  // OUT for a download, IN for an upload
};

// Parses "[--port PATH] FILE" in any order; false on anything else.
bool ParseTransferArgs(const CliArgs& args, TransferArgs& parsed);

// Runs one session to its end. On success returns kExitOk with the session's image in
// place; otherwise prints the message for the result and returns the exit code.
int RunTransfer(CTransferSession& session, bool bDownload, const std::string& port,
                const ImageBuilder& buildImage = {});

// Prints a message by its string ids (caption, then text), as the editor shows it.
void PrintResultMessage(int result, bool bDownload);
