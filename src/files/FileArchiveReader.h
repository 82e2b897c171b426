// A document read line by line from a file, in two passes if need be.
#pragma once

#include <string>

#include "files/Archive.h"
#include "files/FileByteReader.h"

class CFileArchiveReader : public CArchiveReader {
 public:
  // 0 when the file is open, otherwise the errno (EISDIR for a folder).
  int Open(const std::string& path) { return m_file.Open(path); }

  bool ReadLine(std::string& line) override;
  void Rewind() override { m_file.Rewind(); }
  bool Failed() const override { return m_file.Failed(); }
  int Error() const { return m_file.Error(); }

 private:
  FileByteReader m_file;
};
