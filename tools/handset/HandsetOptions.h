// The emulator's command line: what the handset holds, where an upload goes, and which
// faults it plays.
#pragma once

#include <string>
#include <vector>

struct HandsetOptions {
  std::string imagePath;       // --image: the phonebook a download receives (else empty)
  std::string savePath;        // --save: where a complete upload is written
  std::string linkPath;        // --link: a symbolic link to the device
  int blockSize = 1024;        // --block-size: data bytes per download frame
  bool locked = false;         // --locked: "ERROR" to "AT*S"
  int wakeDelayMs = 0;         // --wake-delay: answer "AT" this late
  bool silentWake = false;     // --silent-wake: never answer "AT"
  bool splitOk = false;        // --split-ok: answer "AT" in two bursts
  bool okPrefix = false;       // --ok-prefix: an "OK" frame before the first data frame
  int badChecksumBlock = 0;    // --bad-checksum N: download block N carries a wrong sum
  int rejectBlock = 0;         // --reject N: refuse block N (either direction)
  int silentAfterBlock = 0;    // --silent-after N: answer nothing after block N
  int hangUpAfterBlock = -1;   // --hang-up-after N: close the line after block N (0: at "AT")
  // A handset that never stops talking (0 or -1: off).
  int garbageFromBlock = 0;    // --garbage N: download blocks from N on answered by random bytes
  int garbageBytes = 300;      // --garbage-bytes N: how many random bytes each such reply has
  int endlessReplyBlock = 0;   // --endless-reply N: the reply to download block N never ends
  int floodAfterBlock = -1;    // --flood-after N: after block N (0: at "AT") stream bytes forever
  int emptyMoreFromBlock = 0;  // --empty-more N: download blocks from N on are empty, "more" set
};

// Parses the arguments (without the program name). False and `error` on a bad one.
bool ParseHandsetOptions(const std::vector<std::string>& args, HandsetOptions& options,
                         std::string& error);

extern const char* const kHandsetUsage;
