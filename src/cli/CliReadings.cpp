// qvbook-cli readings BOOK OUT [--all]: gives every entry without a reading (every entry
// with --all) the reading the dictionary suggests first, writes the phonebook to OUT and
// lists what it filled as a UTF-8 table. Names the dictionary cannot read keep their
// reading and are counted on stderr. Without the dictionary nothing is written: the
// editor's message goes to stderr and the exit code is 69 (unavailable).
#include <cstdio>
#include <iostream>

#include "cli/CliCommands.h"
#include "cli/CliTable.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/CodePage.h"
#include "readings/ReadingFill.h"
#include "readings/ReadingSuggester.h"
#include "strings/StringIds.h"
#include "strings/StringTable.h"

namespace {

std::string Cp932Text(int id) { return Utf8ToCp932(StringText(id)); }

}  // namespace

int RunReadings(const CliArgs& args) {
  bool all = false;
  CommandLine line;
  if (!SplitCommandLine(args, {{"--all", OptionFlag(all), false}}, line) || line.operands.size() != 2)
    return kExitUsage;
  const std::vector<std::string>& paths = line.operands;

  CReadingSuggester& suggester = SharedReadingSuggester();
  suggester.LoadInBackground();  // while the phonebook loads
  auto environment = StoreEnvironment::CreatePrivate();
  CDbPhoneCtrl store(*environment);
  if (int exit = LoadPhonebookFile(store, paths[0]); exit != kExitOk) return exit;
  if (!suggester.Load()) {
    PrintMessage(IDS_READING_CAPTION, IDS_READING_NO_DICTIONARY);
    return kExitUnavailable;
  }

  std::vector<PhonebookEntry> entries;
  if (store.ListAllEntries(entries) != StoreResult::Ok) return ReportStoreFailed(store, store.LastOsError());
  std::vector<ChosenReading> chosen;
  std::vector<TableRow> rows{
      {Utf8ToCp932("番号"), Utf8ToCp932("名前"), Cp932Text(IDS_READING_FILL_COLUMN_NEW)}};
  if (all) rows[0].push_back(Cp932Text(IDS_READING_FILL_COLUMN_OLD));
  int unread = 0;
  for (const ReadingProposal& proposal : ProposeReadings(entries, suggester, all, 1)) {
    if (proposal.readings.empty()) {
      ++unread;
      continue;
    }
    const std::string& reading = proposal.readings.front();
    if (reading == proposal.currentReading) continue;
    chosen.push_back({proposal.memoryNumber, reading});
    char number[8];
    std::snprintf(number, sizeof number, "%04d", proposal.memoryNumber);
    TableRow& row = rows.emplace_back(TableRow{number, proposal.name, reading});
    if (all) row.push_back(proposal.currentReading);
  }
  if (StoreResult result = ApplyReadings(store, chosen); result != StoreResult::Ok)
    return ReportStoreFailed(store, store.LastOsError());
  if (int exit = SavePhonebookFile(store, paths[1]); exit != kExitOk) return exit;
  PrintTable(rows);
  if (unread > 0) std::cerr << FormatText(IDS_READING_UNREAD_NAMES, {std::to_string(unread)}) << '\n';
  std::cout.flush();
  return std::cout ? kExitOk : kExitWriteFailed;
}
