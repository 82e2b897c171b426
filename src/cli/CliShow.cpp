// qvbook-cli show FILE: the entries of a document or handset image as a UTF-8 table, in
// memory-number order, as the editor would list them after opening the file.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/CodePage.h"

namespace {

// The list view's column titles, in field order.
const char* const kColumnTitles[FieldCount] = {"番号", "名前", "読み", "電話番号１",
                                               "電話番号２", "電話番号3", "グループ"};

// Rows of code page 932 texts, printed in columns. A code page 932 byte takes one terminal
// column (a double-byte character two), so byte counts give the widths.
void PrintTable(const std::vector<std::array<std::string, FieldCount>>& rows) {
  std::array<std::size_t, FieldCount> width{};
  for (const auto& row : rows) {
    for (int i = 0; i < FieldCount; ++i) width[i] = std::max(width[i], row[i].size());
  }
  for (const auto& row : rows) {
    std::string line;
    for (int i = 0; i < FieldCount; ++i) {
      line += row[i];
      if (i + 1 < FieldCount) line.append(width[i] - row[i].size() + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::cout << Cp932ToUtf8(line) << '\n';
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
  std::vector<std::array<std::string, FieldCount>> rows;
  rows.reserve(entries.size() + 1);
  std::array<std::string, FieldCount> titles;
  for (int i = 0; i < FieldCount; ++i) titles[i] = Utf8ToCp932(kColumnTitles[i]);
  rows.push_back(titles);
  for (const PhonebookEntry& entry : entries) rows.push_back(EntryToTexts(entry));
  PrintTable(rows);
  std::cout.flush();
  return std::cout ? kExitOk : kExitWriteFailed;
}
