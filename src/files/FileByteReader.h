// Buffered byte-by-byte reading of a regular file, the common ground of the document and
// CSV line readers. Anything but a regular file (a folder, a pipe, a device) is refused, so
// that a reader never blocks or reads an endless stream.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class FileByteReader {
 public:
  static constexpr int kEnd = -1;

  FileByteReader() = default;
  ~FileByteReader();
  FileByteReader(const FileByteReader&) = delete;
  FileByteReader& operator=(const FileByteReader&) = delete;

  // 0 when the file is open, otherwise the errno of the failure (EISDIR for a folder,
  // EINVAL for anything else that is not a regular file).
  int Open(const std::string& path);
  void Close();
  bool IsOpen() const { return m_fd >= 0; }
  // The file's size when it was opened.
  long long Size() const { return m_size; }

  // The next byte (0..255), or kEnd at the end of the file or after a read error.
  int Get() {
    if (m_next == m_filled && !Fill()) return kEnd;
    return static_cast<unsigned char>(m_buffer[m_next++]);
  }
  int Peek() {
    if (m_next == m_filled && !Fill()) return kEnd;
    return static_cast<unsigned char>(m_buffer[m_next]);
  }

  // Back to the first byte; clears a read error.
  void Rewind();
  // True when reading stopped on an error (its errno in Error()) rather than at the end.
  bool Failed() const { return m_error != 0; }
  int Error() const { return m_error; }

 private:
  bool Fill();

  int m_fd = -1;
  long long m_size = 0;
  std::vector<char> m_buffer;   // 64 KiB, allocated on opening
  std::size_t m_next = 0;       // next byte to hand out
  std::size_t m_filled = 0;     // bytes of the buffer holding data
  bool m_atEnd = false;         // the last read returned 0
  int m_error = 0;              // errno of a failed read
};
