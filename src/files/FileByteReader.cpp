// Buffered reading of a regular file with the C runtime's read, lseek and close, and the
// checks that what was read is the whole file as it was opened.
#include "files/FileByteReader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

FileByteReader::~FileByteReader() { Close(); }

int FileByteReader::Open(const std::string& path) {
  Close();
  m_error = 0;
  int fd = -1;
  if (int error = platform::OpenRegularFileForReading(path, fd, m_opened)) return error;
  m_fd = fd;
  m_path = path;
  m_buffer.resize(kBufferSize);
  m_offset = 0;
  m_bEndConfirmed = false;
  return 0;
}

void FileByteReader::Close() {
  if (m_fd >= 0) ::close(m_fd);  // nothing was written: closing cannot lose anything
  m_fd = -1;
  m_next = m_filled = 0;
}

void FileByteReader::Fail(int error) {
  m_error = error;
  m_next = m_filled = 0;
}

void FileByteReader::Rewind() {
  m_next = m_filled = 0;
  if (m_fd < 0 || m_error != 0) return;
  m_offset = 0;
  m_bEndConfirmed = false;
  const auto position = ::lseek(m_fd, 0, SEEK_SET);
  if (position != 0) Fail(position < 0 ? errno : EIO);
}

bool FileByteReader::Fill() {
  m_next = m_filled = 0;
  if (m_fd < 0 || m_error != 0) return false;
  // Only the bytes the file had when opened: more would be another state of the file.
  while (m_offset < m_opened.size) {
    const auto wanted = static_cast<std::size_t>(
        std::min<long long>(static_cast<long long>(m_buffer.size()), m_opened.size - m_offset));
    const auto n = ::read(m_fd, m_buffer.data(), static_cast<unsigned>(wanted));
    if (n > 0) {
      m_filled = static_cast<std::size_t>(n);
      m_offset += n;
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    Fail(n < 0 ? errno : kFileChangedWhileRead);  // 0: the file was cut short
    return false;
  }
  if (!m_bEndConfirmed && !ConfirmUnchanged()) return false;
  m_bEndConfirmed = true;
  return false;
}

bool FileByteReader::ConfirmUnchanged() {
  platform::FileIdentity now;
  if (int error = platform::IdentityOfOpenFile(m_fd, now)) {
    Fail(error);
    return false;
  }
  if (!now.SameContent(m_opened)) {
    Fail(kFileChangedWhileRead);
    return false;
  }
  // The name must still lead to the file that was read, or what was read is not what the
  // name now holds (another program saved a new file in its place).
  if (int error = platform::IdentityOfPath(m_path, now)) {
    Fail(error == ENOENT ? kFileChangedWhileRead : error);
    return false;
  }
  if (!now.SameFile(m_opened)) {
    Fail(kFileChangedWhileRead);
    return false;
  }
  return true;
}
