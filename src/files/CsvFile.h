// A CSV text file read record by record (comma separated, doubled quotes collapsed), as the
// import reads its files. The file is read as a text stream: CR LF is read as LF and a CR
// alone stays in the line. A line of nothing but 1A bytes (the end-of-file mark older
// programs append) is no line; a 1A anywhere else is a byte of its line like any other,
// so that one stray byte cannot silently end an import.
#pragma once

#include <string>
#include <vector>

#include "files/CsvCodec.h"
#include "files/FileByteReader.h"

class CCsvFile {
 public:
  // True when the file is open for reading (see OpenError() otherwise).
  bool Open(const std::string& path);
  void Close();
  // Back to the first line, for another pass over the file; a read error stays.
  void Rewind();
  // errno of the last failed Open (EISDIR for a folder), 0 after a successful one.
  int OpenError() const { return m_nOpenError; }
  // True when reading stopped on an error, or on a file that changed while it was read
  // (see FileByteReader), rather than at its end; ReadError() is the errno.
  bool ReadFailed() const { return m_file.Failed(); }
  int ReadError() const { return m_file.Error(); }

  // Loads the next line; false when the file is not open or nothing is left. A line longer
  // than kMaxLineBytes is cut there and the rest of it skipped, to bound the memory a
  // file without line ends could take.
  bool ReadLine();
  // The next field of the current line, unquoted, not trimmed; false past the last field.
  bool ReadField(std::string& field);
  // The next line's fields, unquoted and trimmed; false at the end of the file. Given
  // `keptFields`, the record holds that many and then at most one more: the first
  // non-empty field of the rest (see SplitCsvLine), so that no line can make it huge.
  bool ReadRecord(std::vector<std::string>& record, std::size_t keptFields = kAllCsvFields);

 private:
  // The next line of the file, without its line end; false at the end of the file.
  bool ReadRawLine(std::string& line);

  FileByteReader m_file;
  int m_nOpenError = 0;
  std::string m_strLine;        // the current line, without its line end
  CsvLineReader m_reader;       // read position within m_strLine
};
