// A document written into a byte string, which the caller then saves or compares.
#pragma once

#include <string>
#include <string_view>

#include "files/Archive.h"

class CStringArchiveWriter : public CArchiveWriter {
 public:
  bool Write(std::string_view bytes) override {
    m_bytes.append(bytes);
    return true;
  }
  const std::string& Bytes() const { return m_bytes; }

 private:
  std::string m_bytes;
};
