// Buffered byte-by-byte reading of a regular file, the common ground of the document, CSV
// and vCard readers. Anything but a regular file (a folder, a pipe, a device) is refused, so
// that a reader never blocks or reads an endless stream.
//
// What the reader hands out is the whole file as it was when it was opened, or it fails:
// a read or seek error, a file that ends before the size it had when opened (cut short by
// another program), and a file that at the end of a pass is no longer that file or no
// longer has that size and last-change time (rewritten, grown or replaced meanwhile) all
// end the reading with an error that stays, through Rewind too, until the next Open.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/Errno.h"
#include "platform/ReadableFile.h"

// The error of a file that changed while it was read. The system's "stale file handle"
// says the same of a file on a network share that another machine replaced.
inline constexpr int kFileChangedWhileRead = ESTALE;

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
  // The file's size when it was opened: the number of bytes a pass hands out.
  long long Size() const { return m_opened.size; }

  // The next byte (0..255), or kEnd at the end of the file or after an error.
  int Get() {
    if (m_next == m_filled && !Fill()) return kEnd;
    return static_cast<unsigned char>(m_buffer[m_next++]);
  }
  int Peek() {
    if (m_next == m_filled && !Fill()) return kEnd;
    return static_cast<unsigned char>(m_buffer[m_next]);
  }

  // Back to the first byte, for another pass; an error stays.
  void Rewind();
  // True when reading stopped on an error (its errno in Error()) rather than at the end.
  bool Failed() const { return m_error != 0; }
  int Error() const { return m_error; }

 private:
  bool Fill();
  // At the end of a pass: whether the file is still the one opened, unchanged.
  bool ConfirmUnchanged();
  void Fail(int error);

  int m_fd = -1;
  std::string m_path;                // what was opened, to see whether it still names the file
  platform::FileIdentity m_opened;   // the file and its state when opened
  long long m_offset = 0;            // bytes of the file read so far in this pass
  std::vector<char> m_buffer;        // 64 KiB, allocated on opening
  std::size_t m_next = 0;            // next byte to hand out
  std::size_t m_filled = 0;          // bytes of the buffer holding data
  bool m_bEndConfirmed = false;      // this pass reached the end and found the file unchanged
  int m_error = 0;                   // errno of the failure; stays until the next Open
};
