// The CSV line codec: one line of code page 932 bytes into fields and fields into one line.
// It works on bytes; only the quote, the comma, the tab, the half-width space and the
// full-width space (81 40) are special. Trail bytes of double-byte characters never take
// these values, so no double-byte character is cut or mistaken for one of them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char kCsvComma = ',';
inline constexpr char kCsvTab = '\t';

// How quotes inside a field are read.
enum class QuoteRule {
  CollapseQuotes,  // a doubled quote stands for one quote; other quotes are dropped
  DropQuotes       // every quote is dropped
};

// Reads the fields of one line in turn. The line must outlive the reader.
class CsvLineReader {
 public:
  explicit CsvLineReader(std::string_view line = {}) : m_line(line) {}

  // Loads a new line and starts again at its first field.
  void Reset(std::string_view line) {
    m_line = line;
    m_position = 0;
  }

  // The next field, unquoted but not trimmed; false when the line has no more fields.
  // An empty line has one empty field, and a line ending with the delimiter a trailing one.
  bool ReadField(std::string& field, char delimiter, QuoteRule rule);

 private:
  std::string_view m_line;    // the current line, without its line end
  std::size_t m_position = 0; // where the next field starts
};

// Removes leading and trailing half-width spaces, tabs and full-width spaces in place.
void TrimCsvField(std::string& field);

inline constexpr std::size_t kAllCsvFields = static_cast<std::size_t>(-1);

// The fields of `line`, each unquoted and trimmed; at least one. Given `keptFields`, only
// that many are kept, and of the rest at most the first non-empty one: enough for a reader
// that uses the first fields and counts the others only to see whether any holds text, and
// a line of a million commas then costs no more memory than a short one.
std::vector<std::string> SplitCsvLine(std::string_view line, char delimiter,
                                      QuoteRule rule = QuoteRule::CollapseQuotes,
                                      std::size_t keptFields = kAllCsvFields);

// True when every field of `record` is empty: a blank line, which is no row.
bool IsBlankRecord(const std::vector<std::string>& record);

// The written form of a field: quotes doubled, and the whole enclosed in quotes when it
// holds a quote, a comma or a tab (whatever the delimiter), except a field of quotes only.
// Line breaks are written as spaces. Every field reads back as it was, up to the blanks
// that trimming removes from its ends.
std::string QuoteCsvField(std::string_view field);

// The quoted fields joined by the delimiter, without a line end.
std::string JoinCsvFields(const std::vector<std::string>& fields, char delimiter);
