// Clipboard text of the phonebook: building, cutting into lines, header check and paste.
#include "files/ClipboardText.h"

#include <cstdio>

#include "files/CsvCodec.h"
#include "files/DeferredEntries.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/EntryRules.h"

namespace {

constexpr std::string_view kHeaderWord = "QV PhoneBook";
constexpr std::size_t kHeaderFields = 5;

// The value of a number of the header: `text` of decimal digits alone, at most `limit`;
// -1 for anything else (empty, a sign, a letter, too large).
int HeaderNumber(std::string_view text, int limit) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return -1;
  const int value = DecimalValue(text);
  return value <= limit ? value : -1;
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
  const std::size_t lastByte = text.find_last_not_of('\0');
  const std::size_t end = lastByte == std::string_view::npos ? 0 : lastByte + 1;
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
  // One field more than a header has is enough to see that the line has too many.
  std::vector<std::string> fields =
      SplitCsvLine(line, ',', QuoteRule::CollapseQuotes, kHeaderFields + 1);
  if (fields.size() != kHeaderFields) return std::nullopt;
  // The numbers as written: the field rules would fit "-1" into "1".
  ClipboardHeader header;
  header.kanaRow = HeaderNumber(fields[3], KanaRowAll);
  header.displayFlag = HeaderNumber(fields[4], 1);
  if (header.kanaRow < 0 || header.displayFlag < 0) return std::nullopt;
  if (NormaliseFields(fields, usedFlags) != NormaliseResult::Ok) return std::nullopt;
  if (fields[1] != kHeaderWord || !fields[2].empty()) return std::nullopt;
  return header;
}

PasteOutcome PasteClipboardLines(CDbPhoneCtrl& store, const std::vector<std::string>& lines) {
  PasteOutcome outcome;
  outcome.summary.source = ImportSource::Paste;
  outcome.summary.result = ImportResult::Refused;
  if (lines.empty()) return outcome;
  const std::optional<ClipboardHeader> header = AcceptClipboardHeader(lines.front(), store.usedFlags());
  if (!header) return outcome;
  outcome.summary.result = ImportResult::Finished;
  outcome.header = *header;

  // One transaction: the rows come in together, or (when the store fails) none does.
  CDbPhoneCtrl::Batch batch(store);
  const auto failed = [&outcome, &store] {
    outcome.summary.result = ImportResult::StoreFailed;
    outcome.summary.storeError = store.LastOsError();
    outcome.pastedNumbers.clear();
    return outcome;
  };
  CDeferredEntries deferred;
  std::string firstDeferredReading;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    // Seven fields and at most one more: a huge line costs no more than a short one.
    std::vector<std::string> fields =
        SplitCsvLine(lines[i], ',', QuoteRule::CollapseQuotes, FieldCount);
    const NormaliseResult result = store.NormaliseFields(fields);
    if (result == NormaliseResult::Ok && !fields[FieldMemoryNumber].empty()) {
      PhonebookEntry entry = EntryFromFields(fields);
      if (store.AddEntry(entry) != StoreResult::Ok) return failed();
      if (outcome.pastedNumbers.empty()) outcome.firstReading = entry.reading;
      outcome.pastedNumbers.push_back(MemoryNumberText(entry.memoryNumber));
    } else if (result == NormaliseResult::Ok || result == NormaliseResult::NumberInUse) {
      // A number in use, or none at all: the row goes under a free number at the end.
      PhonebookEntry entry = EntryFromFields(fields);
      if (deferred.size() == 0) firstDeferredReading = entry.reading;
      deferred.Push(std::move(entry));
    } else if (!IsBlankRecord(fields)) {
      ++outcome.summary.refused;
    }
  }
  const std::size_t addedAtOnce = outcome.pastedNumbers.size();
  const CDeferredEntries::Outcome added = deferred.AddUnderFreeNumbers(store, &outcome.pastedNumbers);
  if (added == CDeferredEntries::Outcome::StoreFailed || batch.Commit() != StoreResult::Ok) return failed();
  if (added == CDeferredEntries::Outcome::NumbersRanOut) outcome.summary.result = ImportResult::LimitReached;
  outcome.summary.added = static_cast<int>(outcome.pastedNumbers.size());
  if (addedAtOnce == 0 && !outcome.pastedNumbers.empty()) outcome.firstReading = firstDeferredReading;
  return outcome;
}
