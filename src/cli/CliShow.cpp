// qvbook-cli show FILE: the entries of a document or handset image as a UTF-8 table, in
// memory-number order, as the editor would list them after opening the file.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/CliTable.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/EntryRules.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/CodePage.h"

namespace {

// The list view's column titles, in field order.
const char* const kColumnTitles[FieldCount] = {"番号", "名前", "読み", "電話番号１",
                                               "電話番号２", "電話番号3", "グループ"};

TableRow ShowRow(const std::array<std::string, FieldCount>& texts) {
  return TableRow(texts.begin(), texts.end());
}

}  // namespace

int RunShow(const CliArgs& args) {
  if (args.size() != 1) return kExitUsage;
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (int exit = LoadPhonebookFile(store, args[0]); exit != kExitOk) return exit;

  std::vector<PhonebookEntry> entries;
  if (store.ListEntries(KanaRowAll, SortByNumber, true, entries) != StoreResult::Ok) {
    std::cerr << "the phonebook store could not be read\n";
    return kExitInvalidPhonebook;
  }
  std::vector<TableRow> rows;
  rows.reserve(entries.size() + 1);
  TableRow& titles = rows.emplace_back();
  for (const char* title : kColumnTitles) titles.push_back(Utf8ToCp932(title));
  for (const PhonebookEntry& entry : entries) rows.push_back(ShowRow(EntryToTexts(entry)));
  PrintTable(rows);  // main reports a table that could not be written
  return kExitOk;
}
