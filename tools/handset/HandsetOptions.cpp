// Parsing the emulator's command line.
#include "HandsetOptions.h"

#include <algorithm>
#include <charconv>

const char* const kHandsetUsage =
    "usage: qvbook-handset [--image FILE] [--save FILE] [--link PATH] [--block-size N]\n"
    "                      [--locked] [--wake-delay MS] [--silent-wake] [--split-ok]\n"
    "                      [--ok-prefix] [--bad-checksum N] [--reject N]\n"
    "                      [--silent-after N] [--hang-up-after N] [--garbage N]\n"
    "                      [--garbage-bytes N] [--endless-reply N] [--flood-after N]\n"
    "                      [--empty-more N] [--echo] [--split-answer POINT]\n"
    "                      [--split-at K] [--split-pause MS] [--double-answer POINT]\n"
    "                      [--double-pause MS] [--stray BYTES] [--stray-before POINT]\n"
    "                      [--stray-after POINT] [--stray-pause MS] [--refusal TEXT]\n"
    "                      [--refusal-unframed]\n"
    "Prints the pseudo-terminal's device path on its first line, then answers as the\n"
    "handset until interrupted. Blocks are counted from 1 in either direction.\n"
    "Faults: --bad-checksum N  download block N carries a wrong checksum\n"
    "        --reject N        refuse block N\n"
    "        --silent-after N  answer nothing after block N\n"
    "        --hang-up-after N close the line after block N (0: instead of answering \"AT\")\n"
    "        --garbage N       answer blocks from N on with random bytes (an upload keeps\n"
    "                          none of them)\n"
    "        --garbage-bytes N how many random bytes each such reply has (default 300)\n"
    "        --endless-reply N the reply to download block N never ends\n"
    "        --flood-after N   after block N (0: instead of answering \"AT\") stream random\n"
    "                          bytes without end, answering nothing more\n"
    "        --empty-more N    answer download blocks from N on with empty data frames\n"
    "                          carrying the more flag, without end\n"
    "How answers travel. POINT: at, mode, ft_start, del, put_file (the answers to \"AT\",\n"
    "\"AT*S\" and those commands), a block number, blocks (every block's) or every.\n"
    "        --echo            send every byte received straight back, as a modem's echo\n"
    "        --split-answer P  send answer P in two bursts: K bytes (--split-at, default 1),\n"
    "                          then the rest after --split-pause MS (default 40)\n"
    "        --double-answer P send answer P twice, --double-pause MS apart (default 0)\n"
    "        --stray BYTES     bytes of no answer (\\r, \\n, \\xHH understood), sent\n"
    "                          --stray-pause MS (default 30) before answer --stray-before P\n"
    "                          or after answer --stray-after P\n"
    "        --refusal TEXT    how --reject refuses (default REJ\\r\\n, in a frame);\n"
    "        --refusal-unframed  as plain text\n";

namespace {

// "\r", "\n", "\t", "\\" and "\xHH" as the bytes they stand for; false on a broken one.
bool DecodeEscapes(std::string& text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case 'r': bytes += '\r'; break;
      case 'n': bytes += '\n'; break;
      case 't': bytes += '\t'; break;
      case '\\': bytes += '\\'; break;
      case 'x': {
        unsigned value = 0;
        auto [end, ec] = std::from_chars(text.data() + i + 1, text.data() + std::min(i + 3, text.size()), value, 16);
        if (ec != std::errc() || end != text.data() + i + 3) return false;
        bytes += static_cast<char>(value);
        i += 2;
        break;
      }
      default: return false;
    }
  }
  text = std::move(bytes);
  return true;
}

bool IsValidPoint(const std::string& point) {
  static const char* const names[] = {"at", "mode", "ft_start", "del", "put_file", "blocks", "every"};
  for (const char* name : names)
    if (point == name) return true;
  int block = 0;
  auto [end, ec] = std::from_chars(point.data(), point.data() + point.size(), block);
  return ec == std::errc() && end == point.data() + point.size() && block > 0;
}

bool ToInt(const std::string& text, int low, int high, int& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

}  // namespace

bool IsAnswerPoint(const std::string& point, std::string_view name, int block) {
  if (point.empty()) return false;
  if (point == "every" || point == name) return true;
  if (block == 0) return false;
  return point == "blocks" || point == std::to_string(block);
}

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
                        {"--ok-prefix", &options.okPrefix},
                        {"--echo", &options.echo},
                        {"--refusal-unframed", &options.refusalUnframed}};
  const Text texts[] = {{"--image", &options.imagePath},
                        {"--save", &options.savePath},
                        {"--link", &options.linkPath},
                       {"--split-answer", &options.splitAnswer},
                       {"--double-answer", &options.doubleAnswer},
                       {"--stray", &options.strayBytes},
                       {"--stray-before", &options.strayBefore},
                       {"--stray-after", &options.strayAfter},
                       {"--refusal", &options.refusal}};
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
                            {"--empty-more", &options.emptyMoreFromBlock, 1, 1000000},
                            {"--split-at", &options.splitAt, 1, 30000},
                            {"--split-pause", &options.splitPauseMs, 0, 60000},
                            {"--double-pause", &options.doublePauseMs, 0, 60000},
                            {"--stray-pause", &options.strayPauseMs, 0, 60000}};
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
  for (std::string* point : {&options.splitAnswer, &options.doubleAnswer, &options.strayBefore, &options.strayAfter}) {
    if (!point->empty() && !IsValidPoint(*point)) {
      error = "bad answer point: " + *point;
      return false;
    }
  }
  if (!DecodeEscapes(options.strayBytes) || !DecodeEscapes(options.refusal)) {
    error = "bad escape in --stray or --refusal";
    return false;
  }
  return true;
}
