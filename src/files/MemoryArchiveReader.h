// A document read line by line from bytes held in memory.
#pragma once

#include <cstddef>
#include <string>

#include "files/Archive.h"
#include "files/DocumentLineRule.h"

class CMemoryArchiveReader : public CArchiveReader {
 public:
  explicit CMemoryArchiveReader(std::string bytes) : m_bytes(std::move(bytes)) {}

  bool ReadLine(std::string& line) override { return ReadDocumentLine(*this, line); }
  void Rewind() override { m_next = 0; }
  bool Failed() const override { return false; }

  // The next byte, or -1 at the end.
  int Get() { return m_next < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_next++]) : -1; }

 private:
  std::string m_bytes;
  std::size_t m_next = 0;
};
