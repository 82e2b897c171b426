// Writing the link trace: one record at a time, each flushed, so that a trace stays whole
// up to the moment a program was stopped.
#include "comm/LinkTrace.h"

#include <cerrno>
#include <chrono>

namespace {

constexpr std::size_t kBytesPerLine = 16;

}  // namespace

std::string TraceTimeOfDay() {
  using namespace std::chrono;
  const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  const long long ms = sinceEpoch % (24LL * 3600 * 1000);
  char text[32];  // "HH:MM:SS.mmm" and room the compiler cannot rule out
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60,
                ms / 1000 % 60, ms % 1000);
  return text;
}

std::string TraceByteLine(const uint8_t* bytes, std::size_t count) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex, printable;
  for (std::size_t i = 0; i < count && i < kBytesPerLine; ++i) {
    hex += kHex[bytes[i] >> 4];
    hex += kHex[bytes[i] & 15];
    hex += ' ';
    printable += bytes[i] >= 0x20 && bytes[i] < 0x7f ? static_cast<char>(bytes[i]) : '.';
  }
  hex.resize(kBytesPerLine * 3, ' ');
  return hex + "|" + printable + "|";
}

std::shared_ptr<CLinkTrace> CLinkTrace::Open(const std::string& path, bool append, int& error) {
  std::FILE* file = std::fopen(path.c_str(), append ? "ab" : "wb");
  error = file ? 0 : errno;
  return file ? std::shared_ptr<CLinkTrace>(new CLinkTrace(file)) : nullptr;
}

CLinkTrace::~CLinkTrace() { std::fclose(m_file); }

void CLinkTrace::Step(std::string_view text) {
  Write(TraceTimeOfDay() + " step  " + std::string(text) + "\n");
}

void CLinkTrace::Bytes(std::string_view kind, const uint8_t* bytes, std::size_t count) {
  const std::string head = TraceTimeOfDay() + " " + std::string(kind) + "  ";
  std::string lines;
  for (std::size_t at = 0; at < count; at += kBytesPerLine) {
    // The lines after a record's first are indented under its bytes.
    lines += (at == 0 ? head : std::string(head.size(), ' ')) + TraceByteLine(bytes + at, count - at) + "\n";
  }
  Write(lines);
}

void CLinkTrace::Write(const std::string& lines) {
  std::lock_guard<std::mutex> lock(m_lock);
  if (!m_bGood) return;
  m_bGood = std::fwrite(lines.data(), 1, lines.size(), m_file) == lines.size() && std::fflush(m_file) == 0;
}

bool CLinkTrace::Good() const {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_bGood;
}
