// Parsing the emulator's command line.
#include "HandsetOptions.h"

#include <charconv>

const char* const kHandsetUsage =
    "usage: qvbook-handset [--image FILE] [--save FILE] [--link PATH] [--block-size N]\n"
    "                      [--locked] [--wake-delay MS] [--silent-wake] [--split-ok]\n"
    "                      [--ok-prefix] [--bad-checksum N] [--reject N]\n"
    "                      [--silent-after N] [--hang-up-after N] [--garbage N]\n"
    "                      [--garbage-bytes N] [--endless-reply N] [--flood-after N]\n"
    "                      [--empty-more N]\n"
    "Prints the pseudo-terminal's device path on its first line, then answers as the\n"
    "handset until interrupted. Blocks are counted from 1 in either direction.\n"
    "Faults: --bad-checksum N  download block N carries a wrong checksum\n"
    "        --reject N        refuse block N\n"
    "        --silent-after N  answer nothing after block N\n"
    "        --hang-up-after N close the line after block N (0: instead of answering \"AT\")\n"
    "        --garbage N       answer download blocks from N on with random bytes\n"
    "        --garbage-bytes N how many random bytes each such reply has (default 300)\n"
    "        --endless-reply N the reply to download block N never ends\n"
    "        --flood-after N   after block N (0: instead of answering \"AT\") stream random\n"
    "                          bytes without end, answering nothing more\n"
    "        --empty-more N    answer download blocks from N on with empty data frames\n"
    "                          carrying the more flag, without end\n";

namespace {

bool ToInt(const std::string& text, int low, int high, int& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

}  // namespace

bool ParseHandsetOptions(const std::vector<std::string>& args, HandsetOptions& options,
                         std::string& error) {
  struct Flag {
    const char* name;
    bool* target;
  };
  struct Text {
    const char* name;
    std::string* target;
  };
  struct Number {
    const char* name;
    int* target;
    int low, high;
  };
  const Flag flags[] = {{"--locked", &options.locked},
                        {"--silent-wake", &options.silentWake},
                        {"--split-ok", &options.splitOk},
                        {"--ok-prefix", &options.okPrefix}};
  const Text texts[] = {{"--image", &options.imagePath},
                        {"--save", &options.savePath},
                        {"--link", &options.linkPath}};
  const Number numbers[] = {{"--block-size", &options.blockSize, 1, 30000},
                            {"--wake-delay", &options.wakeDelayMs, 0, 600000},
                            {"--bad-checksum", &options.badChecksumBlock, 1, 1000000},
                            {"--reject", &options.rejectBlock, 1, 1000000},
                            {"--silent-after", &options.silentAfterBlock, 1, 1000000},
                            {"--hang-up-after", &options.hangUpAfterBlock, 0, 1000000},
                            {"--garbage", &options.garbageFromBlock, 1, 1000000},
                            {"--garbage-bytes", &options.garbageBytes, 1, 30000},
                            {"--endless-reply", &options.endlessReplyBlock, 1, 1000000},
                            {"--flood-after", &options.floodAfterBlock, 0, 1000000},
                            {"--empty-more", &options.emptyMoreFromBlock, 1, 1000000}};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool known = false;
    for (const Flag& f : flags)
      if (arg == f.name) *f.target = known = true;
    if (known) continue;
    if (i + 1 >= args.size()) {
      error = "unknown option or missing value: " + arg;
      return false;
    }
    const std::string& value = args[i + 1];
    for (const Text& t : texts)
      if (arg == t.name) *t.target = value, known = true;
    for (const Number& n : numbers) {
      if (arg != n.name) continue;
      if (!ToInt(value, n.low, n.high, *n.target)) {
        error = "bad value for " + arg + ": " + value;
        return false;
      }
      known = true;
    }
    if (!known) {
      error = "unknown option: " + arg;
      return false;
    }
    ++i;
  }
  return true;
}
