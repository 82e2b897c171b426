// qvbook-cli show FILE: the entries of a document or handset image as a UTF-8 table, in
// memory-number order, as the editor would list them after opening the file.
//
// A control character in a text (a byte below 20, 7F, or 80, which some systems convert to
// the C1 control U+0080) is shown as "\xHH", its code in two upper-case hex digits, so that
// a name can never send a terminal an escape sequence (ESC ] 0;... BEL, ESC [ 2 J). Every
// other character, the backslash included, is shown as it is.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/EntryRules.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/CodePage.h"

namespace {

// The list view's column titles, in field order.
const char* const kColumnTitles[FieldCount] = {"番号", "名前", "読み", "電話番号１",
                                               "電話番号２", "電話番号3", "グループ"};

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

using ShownRow = std::array<ShownText, FieldCount>;

ShownRow ShowRow(const std::array<std::string, FieldCount>& texts) {
  ShownRow row;
  for (int i = 0; i < FieldCount; ++i) row[i] = Show(texts[i]);
  return row;
}

// Rows printed in columns two spaces apart, without trailing blanks.
void PrintTable(const std::vector<ShownRow>& rows) {
  std::array<std::size_t, FieldCount> width{};
  for (const auto& row : rows) {
    for (int i = 0; i < FieldCount; ++i) width[i] = std::max(width[i], row[i].columns);
  }
  for (const auto& row : rows) {
    std::string line;
    for (int i = 0; i < FieldCount; ++i) {
      line += row[i].utf8;
      if (i + 1 < FieldCount) line.append(width[i] - row[i].columns + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::cout << line << '\n';
  }
}

}  // namespace

int RunShow(const CliArgs& args) {
  if (args.size() != 1) return kExitUsage;
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (int exit = LoadPhonebookFile(store, args[0]); exit != kExitOk) return exit;

  std::vector<PhonebookEntry> entries;
  if (store.ListEntries(KanaRowAll, SortByNumber, true, entries) != 0) {
    std::cerr << "the phonebook store could not be read\n";
    return kExitInvalidPhonebook;
  }
  std::vector<ShownRow> rows;
  rows.reserve(entries.size() + 1);
  std::array<std::string, FieldCount> titles;
  for (int i = 0; i < FieldCount; ++i) titles[i] = Utf8ToCp932(kColumnTitles[i]);
  rows.push_back(ShowRow(titles));
  for (const PhonebookEntry& entry : entries) rows.push_back(ShowRow(EntryToTexts(entry)));
  PrintTable(rows);  // main reports a table that could not be written
  return kExitOk;
}
