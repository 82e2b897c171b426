// What qvbook-cli upload and restore share: their options, and the upload of a phonebook
// file with the handset's phonebook backed up and the changes shown first.
#pragma once

#include <string>

#include "cli/CliCommon.h"

struct UploadArgs {
  std::string port;       // --port PATH; empty: QVBOOK_PORT or the search by USB identifier
  std::string file;       // the phonebook to upload (upload: IN; restore: the backup)
  std::string trace;      // --trace FILE; empty: no trace of the link
  bool yes = false;       // --yes: upload without asking after the preview
  bool noBackup = false;  // --no-backup: neither the backup nor the preview (the plain upload)
};

// Parses "[--port PATH] [--trace FILE] [--yes] [--no-backup] FILE" in any order; false on
// anything else.
bool ParseUploadArgs(const CliArgs& args, UploadArgs& parsed);

// Uploads the phonebook of `args.file` and restarts the handset. Unless --no-backup: first
// downloads the handset's phonebook in a session of its own and keeps it as a backup (no
// upload without one), prints what the upload changes, and asks on a terminal (--yes:
// not at all; no terminal and no --yes: refused with kExitUsage before anything is sent).
int UploadPhonebookFile(const UploadArgs& args);
