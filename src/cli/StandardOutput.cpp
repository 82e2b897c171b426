// A std::streambuf over file descriptor 1 that remembers the first write error.
#include "cli/StandardOutput.h"

#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <streambuf>

namespace {

class DescriptorOutputBuffer : public std::streambuf {
 public:
  explicit DescriptorOutputBuffer(int fd) : m_fd(fd) { setp(m_buffer, m_buffer + sizeof m_buffer); }
  int Error() const { return m_error; }

 protected:
  int_type overflow(int_type ch) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  // Writes the buffer out; after a failure the rest is dropped and the error kept.
  bool Drain() {
    const char* next = pbase();
    while (next < pptr() && m_error == 0) {
      const auto n = ::write(m_fd, next, static_cast<unsigned>(pptr() - next));
      if (n > 0) {
        next += n;
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        m_error = n < 0 ? errno : EIO;
      }
    }
    setp(m_buffer, m_buffer + sizeof m_buffer);
    return m_error == 0;
  }

  const int m_fd;
  int m_error = 0;          // errno of the first failed write
  char m_buffer[16 * 1024];
};

// Never destroyed: std::cout may still flush into it while the program ends.
DescriptorOutputBuffer& Buffer() {
  static auto* buffer = new DescriptorOutputBuffer(1);
  return *buffer;
}

}  // namespace

void RouteStandardOutput() { std::cout.rdbuf(&Buffer()); }

int FinishStandardOutput() {
  std::cout.flush();
  return Buffer().Error();
}
