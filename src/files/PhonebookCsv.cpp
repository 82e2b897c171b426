// Loading and saving a phonebook document: seven fields per line in the standard layout,
// and on loading also the marker rows that switch to the name-first and group-first
// layouts of other programs' exports.
#include "files/PhonebookCsv.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "files/Archive.h"
#include "files/CsvCodec.h"
#include "phonebook/DbPhoneCtrl.h"

namespace {

enum class RowLayout : unsigned char { Standard, NameFirst, GroupFirst };

// Marker rows, as code page 932 bytes.
constexpr std::string_view kMarkerNumberHeader = "\x3B\x94\xD4\x8D\x86";     // ";番号"
constexpr std::string_view kMarkerName = "\x96\xBC\x91\x4F";                 // "名前"
constexpr std::string_view kMarkerNameNs = "\x96\xBC\x91\x4F\x82\x6D\x82\x72";  // "名前ＮＳ"
constexpr std::string_view kMarkerGroup = "\x83\x4F\x83\x8B\x81\x5B\x83\x76";   // "グループ"

// Where the standard fields 1..5 come from in the alternative layouts.
constexpr int kNameFirstSources[] = {0, 1, 2, 4, 6};
constexpr int kGroupFirstSources[] = {2, 3, 4, 5, 6};

constexpr std::size_t kRowFields = FieldCount;

// The fields of a line, trimmed. Only the first seven fields mean anything; of the rest at
// most one non-empty field is kept, which is all NormaliseFields needs to count them.
std::vector<std::string> SplitRow(std::string_view line, char delimiter, QuoteRule rule) {
  return SplitCsvLine(line, delimiter, rule, kRowFields);
}

// An alternative layout's row in the standard layout, numbered by its sequence number.
std::vector<std::string> RebuildRow(const std::vector<std::string>& row, RowLayout layout,
                                    int sequence) {
  const int* sources = layout == RowLayout::NameFirst ? kNameFirstSources : kGroupFirstSources;
  std::vector<std::string> fields(kRowFields);
  fields[FieldMemoryNumber] = std::to_string(sequence);
  for (int i = 0; i < 5; ++i) {
    std::size_t from = static_cast<std::size_t>(sources[i]);
    if (from < row.size()) fields[FieldName + i] = row[from];
  }
  fields[FieldGroup].push_back('1');  // (assigning "1" trips a false GCC 12 -Wrestrict)
  return fields;
}

// Whether `first` is a marker row for the file's delimiter, and the layout it selects.
bool IsMarkerRow(const std::string& first, bool comma, RowLayout& next) {
  next = RowLayout::Standard;
  if (first == kMarkerNumberHeader) return !comma;
  if (first == kMarkerNameNs) {
    next = RowLayout::NameFirst;
    return true;
  }
  if (comma && first == kMarkerName) {
    next = RowLayout::NameFirst;
    return true;
  }
  if (comma && first == kMarkerGroup) {
    next = RowLayout::GroupFirst;
    return true;
  }
  return false;
}

std::string FourDigits(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", number);
  return text;
}

// `result` once the batch is committed; StoreFailed when the commit failed.
CsvLoadResult Committed(CDbPhoneCtrl::Batch& batch, CsvLoadResult result) {
  return batch.Commit() == StoreResult::Ok ? result : CsvLoadResult{CsvLoadResult::StoreFailed};
}

}  // namespace

CsvLoadResult LoadCsv(CDbPhoneCtrl& store, CArchiveReader& archive, bool comma) {
  const char delimiter = comma ? kCsvComma : kCsvTab;
  CDbPhoneCtrl::Batch batch(store);  // one open and one commit for the whole file
  std::string line;
  bool unnumberedSeen = false;
  // Pass 1 adds the numbered rows, pass 2 the others under free numbers, so that an
  // unnumbered row never takes a number a later row of the file asks for. A document
  // without such rows (every saved one) needs no second pass.
  for (int pass = 1; pass <= 2; ++pass) {
    archive.Rewind();
    RowLayout layout = RowLayout::Standard;
    int sequence = 0;
    while (archive.ReadLine(line)) {
      std::vector<std::string> fields;
      if (layout == RowLayout::Standard) {
        fields = SplitRow(line, delimiter, QuoteRule::CollapseQuotes);
        RowLayout next;
        if (IsMarkerRow(fields[FieldMemoryNumber], comma, next)) {
          layout = next;
          continue;
        }
      } else {
        QuoteRule rule =
            layout == RowLayout::NameFirst ? QuoteRule::DropQuotes : QuoteRule::CollapseQuotes;
        fields = RebuildRow(SplitRow(line, delimiter, rule), layout, ++sequence);
      }
      bool numbered = !fields[FieldMemoryNumber].empty();
      unnumberedSeen = unnumberedSeen || !numbered;
      if (numbered != (pass == 1)) continue;
      if (pass == 2) {
        int free = store.GetFreeMemoryNumber();
        if (free == 0) continue;  // all 1000 numbers taken: the row is dropped
        fields[FieldMemoryNumber] = FourDigits(free);
      }
      const NormaliseResult result = store.NormaliseFields(fields);
      // A row that is not a phonebook's ends the load; the entries read before it stay.
      // (A row a read error cut short is no such row.)
      if (result != NormaliseResult::Ok && archive.Failed()) return {CsvLoadResult::ReadFailed};
      if (result != NormaliseResult::Ok) return Committed(batch, {CsvLoadResult::NotPhonebook, result});
      if (store.AddEntry(EntryFromFields(fields)) != StoreResult::Ok) return {CsvLoadResult::StoreFailed};
    }
    // A pass cut short by a read error must not be taken for the whole document.
    if (archive.Failed()) return {CsvLoadResult::ReadFailed};
    if (!unnumberedSeen) break;
  }
  return Committed(batch, {CsvLoadResult::Ok});
}

StoreResult SaveCsv(CDbPhoneCtrl& store, CArchiveWriter& archive, bool comma) {
  std::vector<PhonebookEntry> entries;
  if (const StoreResult result = store.ListAllEntries(entries); result != StoreResult::Ok) return result;
  const char delimiter = comma ? kCsvComma : kCsvTab;
  std::string bytes;
  for (const PhonebookEntry& entry : entries) {
    auto texts = EntryToTexts(entry);
    bytes += JoinCsvFields(std::vector<std::string>(texts.begin(), texts.end()), delimiter);
    bytes += "\r\n";
  }
  archive.Write(bytes);
  return StoreResult::Ok;
}
