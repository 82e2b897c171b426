// Buffered reading of a regular file with the C runtime's read, lseek and close.
#include "files/FileByteReader.h"

#include <unistd.h>

#include <cerrno>

#include "platform/ReadableFile.h"

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

FileByteReader::~FileByteReader() { Close(); }

int FileByteReader::Open(const std::string& path) {
  Close();
  int fd = -1;
  if (int error = platform::OpenRegularFileForReading(path, fd, m_size)) return error;
  m_fd = fd;
  m_buffer.resize(kBufferSize);
  Rewind();
  return 0;
}

void FileByteReader::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_next = m_filled = 0;
  m_atEnd = true;
}

void FileByteReader::Rewind() {
  m_next = m_filled = 0;
  m_error = 0;
  m_atEnd = m_fd < 0;
  if (m_fd >= 0 && ::lseek(m_fd, 0, SEEK_SET) != 0) {
    m_error = errno;
    m_atEnd = true;
  }
}

bool FileByteReader::Fill() {
  m_next = m_filled = 0;
  while (!m_atEnd) {
    ssize_t n = ::read(m_fd, m_buffer.data(), m_buffer.size());
    if (n > 0) {
      m_filled = static_cast<std::size_t>(n);
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) m_error = errno;
    m_atEnd = true;
  }
  return false;
}
