// The emulator's command line: what the handset holds, where an upload goes, and which
// faults it plays.
#pragma once

#include <string>
#include <string_view>
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
  int garbageFromBlock = 0;    // --garbage N: blocks from N on answered by random bytes (not kept)
  int garbageBytes = 300;      // --garbage-bytes N: how many random bytes each such reply has
  int endlessReplyBlock = 0;   // --endless-reply N: the reply to download block N never ends
  int floodAfterBlock = -1;    // --flood-after N: after block N (0: at "AT") stream bytes forever
  int emptyMoreFromBlock = 0;  // --empty-more N: download blocks from N on are empty, "more" set
  // How the answers travel. POINT names answers: at, mode, ft_start, del, put_file (the
  // answers to "AT", "AT*S" and those commands), a block number N, blocks (every block's)
  // or every (every answer).
  bool echo = false;           // --echo: every byte from the PC goes back at once, as a modem's echo
  std::string splitAnswer;     // --split-answer POINT: that answer comes in two bursts
  int splitAt = 1;             // --split-at K: the first burst's bytes
  int splitPauseMs = 40;       // --split-pause MS: between the two bursts
  std::string doubleAnswer;    // --double-answer POINT: that answer is sent twice
  int doublePauseMs = 0;       // --double-pause MS: between the two (0: in one burst)
  std::string strayBytes;      // --stray BYTES: bytes that belong to no answer ("\r", "\n", "\xHH")
  std::string strayBefore;     // --stray-before POINT: the stray bytes come before that answer
  std::string strayAfter;      // --stray-after POINT: ... after it
  int strayPauseMs = 30;       // --stray-pause MS: between the stray bytes and the answer
  std::string refusal = "REJ\r\n";  // --refusal TEXT: the refusal of --reject's block
  bool refusalUnframed = false;      // --refusal-unframed: sent as text, not in a frame
};

// True when `point` (an option's POINT) names the answer `name`, or block `block` (0: not
// a block's answer).
bool IsAnswerPoint(const std::string& point, std::string_view name, int block);

// Parses the arguments (without the program name). False and `error` on a bad one.
bool ParseHandsetOptions(const std::vector<std::string>& args, HandsetOptions& options,
                         std::string& error);

extern const char* const kHandsetUsage;
