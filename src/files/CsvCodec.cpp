// The CSV line codec: field scanning, unquoting, trimming, quoting and joining.
#include "files/CsvCodec.h"

#include <algorithm>

#include "phonebook/EntryRules.h"

namespace {

constexpr char kQuote = '"';

bool IsHalfWidthBlank(char c) { return c == ' ' || c == '\t'; }

bool StartsWithFullWidthSpace(std::string_view s) {
  return s.size() >= 2 && s[0] == '\x81' && s[1] == '\x40';
}

bool EndsWithFullWidthSpace(std::string_view s) {
  // Compared as bytes: a double-byte character with trail byte 81 followed by '@' matches too.
  return s.size() >= 2 && s[s.size() - 2] == '\x81' && s[s.size() - 1] == '\x40';
}

// Index of the delimiter that ends the field starting at `from`, or the line's length.
// A quote flips the quoted state wherever it stands.
std::size_t FindFieldEnd(std::string_view line, std::size_t from, char delimiter) {
  bool inQuotes = false;
  for (std::size_t i = from; i < line.size(); ++i) {
    if (!inQuotes && line[i] == delimiter) return i;
    if (line[i] == kQuote) inQuotes = !inQuotes;
  }
  return line.size();
}

// Length of `field` without its trailing half-width blanks. The field is walked from the
// start so that a double-byte character is taken whole and its trail byte never counts
// as a blank (a lead byte at the very end stands alone).
std::size_t LengthWithoutTrailingBlanks(std::string_view field) {
  std::size_t keep = 0;
  std::size_t i = 0;
  while (i < field.size()) {
    if (IsHalfWidthBlank(field[i])) {
      ++i;
      continue;
    }
    std::size_t width = IsLeadByte(static_cast<unsigned char>(field[i])) ? 2 : 1;
    i = std::min(i + width, field.size());
    keep = i;
  }
  return keep;
}

}  // namespace

bool CsvLineReader::ReadField(std::string& field, char delimiter, QuoteRule rule) {
  field.clear();
  // Greater than, not greater or equal: a line ending in the delimiter has an empty last field.
  if (m_position > m_line.size()) return false;
  std::size_t end = FindFieldEnd(m_line, m_position, delimiter);
  for (std::size_t i = m_position; i < end; ++i) {
    char c = m_line[i];
    if (c != kQuote) {
      field.push_back(c);
    } else if (rule == QuoteRule::CollapseQuotes && i + 1 < end && m_line[i + 1] == kQuote) {
      field.push_back(kQuote);
      ++i;
    }
  }
  m_position = end + 1;
  return true;
}

void TrimCsvField(std::string& field) {
  std::size_t start = 0;
  for (;;) {
    while (start < field.size() && IsHalfWidthBlank(field[start])) ++start;
    if (!StartsWithFullWidthSpace(std::string_view(field).substr(start))) break;
    start += 2;
  }
  field.erase(0, start);
  for (;;) {
    field.resize(LengthWithoutTrailingBlanks(field));
    if (!EndsWithFullWidthSpace(field)) break;
    field.resize(field.size() - 2);
  }
}

std::vector<std::string> SplitCsvLine(std::string_view line, char delimiter, QuoteRule rule,
                                      std::size_t keptFields) {
  std::vector<std::string> fields;
  CsvLineReader reader(line);
  std::string field;
  bool extraKept = false;
  while (reader.ReadField(field, delimiter, rule)) {
    TrimCsvField(field);
    if (fields.size() < keptFields) {
      fields.push_back(std::move(field));
    } else if (!extraKept && !field.empty()) {
      fields.push_back(std::move(field));
      extraKept = true;
    }
  }
  return fields;
}

bool IsBlankRecord(const std::vector<std::string>& record) {
  return std::all_of(record.begin(), record.end(), [](const std::string& field) { return field.empty(); });
}

std::string QuoteCsvField(std::string_view field) {
  std::string out;
  out.reserve(field.size() + 2);
  bool enclose = false;
  bool onlyQuotes = true;
  for (char c : field) {
    // A record is one line: a line break inside a field would cut it in two on reading.
    if (c == '\r' || c == '\n') c = ' ';
    out.push_back(c);
    if (c == kQuote) out.push_back(kQuote);
    if (c == kQuote || c == kCsvComma || c == kCsvTab) enclose = true;
    if (c != kQuote) onlyQuotes = false;
  }
  // Enclosing quotes next to a field of doubled quotes would pair up with them on reading
  // and add a quote; such a field needs no enclosing, as it holds no delimiter.
  if (enclose && !onlyQuotes) {
    out.insert(out.begin(), kQuote);
    out.push_back(kQuote);
  }
  return out;
}

std::string JoinCsvFields(const std::vector<std::string>& fields, char delimiter) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line.push_back(delimiter);
    line += QuoteCsvField(fields[i]);
  }
  return line;
}
