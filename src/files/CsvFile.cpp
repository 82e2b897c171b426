// CSV text file reading: text-stream line rules and the record split.
#include "files/CsvFile.h"

#include "files/DocumentLineRule.h"

namespace {

constexpr char kEndOfText = 0x1A;

bool IsEndOfTextMark(const std::string& line) {
  return !line.empty() && line.find_first_not_of(kEndOfText) == std::string::npos;
}

}  // namespace

bool CCsvFile::Open(const std::string& path) {
  m_nOpenError = m_file.Open(path);
  m_strLine.clear();
  m_reader.Reset(m_strLine);
  return m_nOpenError == 0;
}

void CCsvFile::Close() { m_file.Close(); }

void CCsvFile::Rewind() {
  m_file.Rewind();
  m_strLine.clear();
  m_reader.Reset(m_strLine);
}

bool CCsvFile::ReadLine() {
  if (!m_file.IsOpen()) return false;
  std::string line;
  do {
    if (!ReadRawLine(line)) return false;
  } while (IsEndOfTextMark(line));
  m_strLine = std::move(line);
  m_reader.Reset(m_strLine);
  return true;
}

bool CCsvFile::ReadRawLine(std::string& line) {
  line.clear();
  bool gotAny = false;
  for (;;) {
    int c = m_file.Get();
    if (c == FileByteReader::kEnd) break;
    gotAny = true;
    if (c == '\n') break;
    if (c == '\r' && m_file.Peek() == '\n') {
      m_file.Get();
      break;
    }
    if (line.size() < kMaxLineBytes) line.push_back(static_cast<char>(c));
  }
  return gotAny;
}

bool CCsvFile::ReadField(std::string& field) {
  return m_reader.ReadField(field, kCsvComma, QuoteRule::CollapseQuotes);
}

bool CCsvFile::ReadRecord(std::vector<std::string>& record, std::size_t keptFields) {
  record.clear();
  if (!ReadLine()) return false;
  record = SplitCsvLine(m_strLine, kCsvComma, QuoteRule::CollapseQuotes, keptFields);
  return true;
}
