// The byte streams a phonebook document is loaded from and saved to.
#pragma once

#include <string>
#include <string_view>

// Reads a document line by line: a line ends at LF (dropped); a CR ends the line together
// with the byte after it, which is dropped when it is LF and otherwise kept as the line's
// last byte; a CR at the very end just ends the line; the last line may lack a line end.
class CArchiveReader {
 public:
  virtual ~CArchiveReader() = default;
  // False at the end of the input (or on a read error, see Failed()).
  virtual bool ReadLine(std::string& line) = 0;
  // Back to the start, for the second pass.
  virtual void Rewind() = 0;
  // True when reading stopped on an error rather than at the end.
  virtual bool Failed() const = 0;
};

class CArchiveWriter {
 public:
  virtual ~CArchiveWriter() = default;
  // Writes the bytes unchanged; false on failure (the writer remembers it).
  virtual bool Write(std::string_view bytes) = 0;
};
