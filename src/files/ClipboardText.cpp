// Clipboard text of the phonebook: building, cutting into lines, header check and paste.
#include "files/ClipboardText.h"

#include <algorithm>
#include <cstdio>

#include "files/CsvCodec.h"
#include "files/DeferredEntries.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/EntryRules.h"

namespace {

constexpr std::string_view kHeaderWord = "QV PhoneBook";

// The value of the leading decimal digits of `text` (0 when there are none), held at a
// ceiling so that a long run of digits cannot overflow.
int LeadingDecimalValue(std::string_view text) {
  constexpr int kCeiling = 1000000;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > kCeiling) value = kCeiling;
  }
  return value;
}

}  // namespace

std::string ClipboardHeaderLine(const ClipboardHeader& header) {
  char line[64];
  std::snprintf(line, sizeof line, ",QV PhoneBook,,%d,%d\r\n", header.kanaRow,
                header.displayFlag);
  return line;
}

std::string BuildClipboardText(const ClipboardHeader& header,
                               const std::vector<std::vector<std::string>>& rows) {
  std::string text = ClipboardHeaderLine(header);
  text.reserve(text.size() + rows.size() * 64);
  for (const auto& row : rows) {
    text += JoinCsvFields(row, ',');
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> SplitClipboardLines(std::string_view text) {
  const std::size_t end = std::min(text.find('\0'), text.size());
  std::vector<std::string> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < end) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      ++i;
      continue;
    }
    lines.emplace_back(text.substr(start, i - start));
    // A CR LF pair ends one line, not two.
    i += (c == '\r' && i + 1 < end && text[i + 1] == '\n') ? 2 : 1;
    start = i;
  }
  if (start < end) lines.emplace_back(text.substr(start, end - start));
  return lines;
}

std::optional<ClipboardHeader> AcceptClipboardHeader(const std::string& line,
                                                     const UsedFlags& usedFlags) {
  std::vector<std::string> fields = SplitCsvLine(line, ',', QuoteRule::CollapseQuotes);
  if (fields.size() != 5) return std::nullopt;
  if (NormaliseFields(fields, usedFlags) != NormaliseOk) return std::nullopt;
  if (fields[1] != kHeaderWord || !fields[2].empty()) return std::nullopt;
  if (fields[3].empty() || fields[4].empty()) return std::nullopt;
  ClipboardHeader header;
  header.kanaRow = LeadingDecimalValue(fields[3]);
  header.displayFlag = LeadingDecimalValue(fields[4]);
  if (header.kanaRow > KanaRowAll || header.displayFlag > 1) return std::nullopt;
  return header;
}

PasteOutcome PasteClipboardLines(CDbPhoneCtrl& store, const std::vector<std::string>& lines) {
  PasteOutcome outcome;
  if (lines.empty()) return outcome;
  const std::optional<ClipboardHeader> header = AcceptClipboardHeader(lines.front(), store.usedFlags());
  if (!header) return outcome;
  outcome.accepted = true;
  outcome.header = *header;

  // One transaction: the rows come in together, or (when the store fails) none does.
  CDbPhoneCtrl::Batch batch(store);
  const auto failed = [&outcome, &store] {
    outcome.storeFailed = true;
    outcome.storeError = store.LastOsError();
    outcome.pastedNumbers.clear();
    return outcome;
  };
  CDeferredEntries deferred;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> fields = SplitCsvLine(lines[i], ',', QuoteRule::CollapseQuotes);
    const int result = store.NormaliseFields(fields);
    if (result == NormaliseOk && !fields[FieldMemoryNumber].empty()) {
      PhonebookEntry entry = EntryFromFields(fields);
      if (store.AddEntry(entry) != StoreOk) return failed();
      outcome.pastedNumbers.push_back(MemoryNumberText(entry.memoryNumber));
    } else if (result == NormaliseOk || result == NormaliseNumberInUse) {
      // A number in use, or none at all: the row goes under a free number at the end.
      deferred.Push(EntryFromFields(fields));
    }
  }
  const CDeferredEntries::Outcome added = deferred.AddUnderFreeNumbers(store, &outcome.pastedNumbers);
  if (added == CDeferredEntries::Outcome::StoreFailed || batch.Commit() != StoreOk) return failed();
  outcome.limitReached = added == CDeferredEntries::Outcome::NumbersRanOut;
  return outcome;
}
