// CSV text file reading: text-stream line rules and the record split.
#include "files/CsvFile.h"

#include "files/DocumentLineRule.h"

namespace {
constexpr int kEndOfText = 0x1A;
}

bool CCsvFile::Open(const std::string& path) {
  m_nOpenError = m_file.Open(path);
  m_bInputEnded = false;
  m_strLine.clear();
  m_reader.Reset(m_strLine);
  return m_nOpenError == 0;
}

void CCsvFile::Close() { m_file.Close(); }

void CCsvFile::Rewind() {
  m_file.Rewind();
  m_bInputEnded = false;
  m_strLine.clear();
  m_reader.Reset(m_strLine);
}

bool CCsvFile::ReadLine() {
  if (!m_file.IsOpen() || m_bInputEnded) return false;
  std::string line;
  bool gotAny = false;
  for (;;) {
    int c = m_file.Get();
    if (c == FileByteReader::kEnd || c == kEndOfText) {
      m_bInputEnded = c == kEndOfText;
      break;
    }
    gotAny = true;
    if (c == '\n') break;
    if (c == '\r' && m_file.Peek() == '\n') {
      m_file.Get();
      break;
    }
    if (line.size() < kMaxLineBytes) line.push_back(static_cast<char>(c));
  }
  if (!gotAny) return false;
  m_strLine = std::move(line);
  m_reader.Reset(m_strLine);
  return true;
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
