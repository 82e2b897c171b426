// Code page 932 conversion on glibc's iconv "CP932", which follows the Windows table and also
// maps the look-alike characters Linux input methods produce.
#include "platform/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace {

// One conversion descriptor per direction and thread: iconv_t keeps shift state and must
// not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
    if (m_cd == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("iconv cannot convert between CP932 and UTF-8");
    }
  }
  ~Converter() { iconv_close(m_cd); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; on an undecodable sequence writes `replacement` and skips the number of
  // input bytes (at least 1) that `skip` gives for the sequence.
  template <typename Skip>
  std::string Run(std::string_view in, std::string_view replacement, Skip skip, bool* lossless) {
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    std::string out;
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    bool clean = true;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      std::size_t dstLeft = out.size() - used;
      std::size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (rc != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ or EINVAL (a sequence cut off at the end): replace and step over it.
      clean = false;
      out.replace(used, replacement.size(), replacement);
      used += replacement.size();
      if (out.size() - used < 16) out.resize(out.size() * 2);
      std::size_t n = skip(reinterpret_cast<const unsigned char*>(src), srcLeft);
      src += n;
      srcLeft -= n;
    }
    out.resize(used);
    if (lossless) *lossless = clean;
    return out;
  }

 private:
  iconv_t m_cd;
};

// Bytes of the UTF-8 character (or malformed fragment) at `s`: its lead byte and the
// continuation bytes that follow it, as many as the lead byte announces; at least 1.
std::size_t Utf8SequenceLength(const unsigned char* s, std::size_t left) {
  std::size_t expected = 1;
  if (s[0] >= 0xF0 && s[0] <= 0xF4) expected = 4;
  else if (s[0] >= 0xE0 && s[0] <= 0xEF) expected = 3;
  else if (s[0] >= 0xC2 && s[0] <= 0xDF) expected = 2;
  std::size_t n = 1;
  while (n < expected && n < left && (s[n] & 0xC0) == 0x80) ++n;
  return n;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes, bool* lossless) {
  thread_local Converter converter("UTF-8", "CP932");
  // A byte that does not start a character is dropped alone, so that a following valid
  // character is not lost with it.
  return converter.Run(bytes, "\xEF\xBF\xBD", [](const unsigned char*, std::size_t) { return std::size_t{1}; },
                       lossless);
}

std::string Utf8ToCp932(std::string_view text, bool* lossless) {
  thread_local Converter converter("CP932", "UTF-8");
  return converter.Run(text, "?", Utf8SequenceLength, lossless);
}
