// The commands' tables: escaping, widths and columns.
#include "cli/CliTable.h"

#include <algorithm>
#include <iostream>
#include <string_view>

#include "phonebook/EntryRules.h"
#include "platform/CodePage.h"

namespace {

// A text as the table shows it: UTF-8, and the terminal columns it takes.
struct ShownText {
  std::string utf8;
  std::size_t columns = 0;
};

bool IsControlByte(unsigned char byte) { return byte < 0x20 || byte == 0x7F || byte == 0x80; }
bool IsTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

// A code page 932 text with its control characters escaped. A code page 932 byte takes one
// terminal column (a double-byte character two), so byte counts give the width. Each run
// between escapes is converted on its own, so that a stray lead byte cannot swallow the
// backslash of the escape after it.
ShownText Show(std::string_view text) {
  ShownText shown;
  std::size_t runStart = 0;
  auto endRun = [&](std::size_t end) {
    shown.utf8 += Cp932ToUtf8(text.substr(runStart, end - runStart));
    shown.columns += end - runStart;
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (IsLeadByte(byte) && IsTrailByte(next)) {
      i += 2;
    } else if (IsControlByte(byte)) {
      endRun(i);
      static const char kHex[] = "0123456789ABCDEF";
      shown.utf8 += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
      shown.columns += 4;
      runStart = ++i;
    } else {
      ++i;
    }
  }
  endRun(text.size());
  return shown;
}

}  // namespace

void PrintTable(const std::vector<TableRow>& rows) {
  std::vector<std::vector<ShownText>> shown;
  std::vector<std::size_t> width;
  for (const TableRow& row : rows) {
    auto& line = shown.emplace_back();
    for (const std::string& text : row) line.push_back(Show(text));
    width.resize(std::max(width.size(), line.size()));
    for (std::size_t i = 0; i < line.size(); ++i) width[i] = std::max(width[i], line[i].columns);
  }
  for (const auto& row : shown) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i].utf8;
      if (i + 1 < row.size()) line.append(width[i] - row[i].columns + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::cout << line << '\n';
  }
}
