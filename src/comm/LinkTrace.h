// A trace of the handset link for support: every byte sent and received, and the steps of
// the session, each on its own lines with the time of day (UTC, to the millisecond), in a
// text a person can read: the bytes in hexadecimal, 16 to a line, beside their printable
// characters ("." for the others).
//   09:41:07.125 step  wake the handset
//   09:41:07.126 sent  41 54 0d                                         |AT.|
//   09:41:07.180 recv  0d 0a 4f 4b 0d 0a                                |..OK..|
// Any thread may write to it. The channel and the session hold it only while tracing is
// on: off, it costs a test of a null pointer per read and write.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

class CLinkTrace {
 public:
  // Opens `path` for writing, replacing what it held (`append`: adding to it); nothing
  // (and errno in `error`) when it cannot be opened.
  static std::shared_ptr<CLinkTrace> Open(const std::string& path, bool append, int& error);
  ~CLinkTrace();
  CLinkTrace(const CLinkTrace&) = delete;
  CLinkTrace& operator=(const CLinkTrace&) = delete;

  void Sent(const uint8_t* bytes, std::size_t count) { Bytes("sent", bytes, count); }
  void Received(const uint8_t* bytes, std::size_t count) { Bytes("recv", bytes, count); }
  void Step(std::string_view text);
  // False once a write failed (a full disk): the trace is short, the transfer goes on.
  bool Good() const;

 private:
  explicit CLinkTrace(std::FILE* file) : m_file(file) {}
  void Bytes(std::string_view kind, const uint8_t* bytes, std::size_t count);
  void Write(const std::string& lines);

  mutable std::mutex m_lock;  // one record at a time
  std::FILE* m_file;
  bool m_bGood = true;
};

// The time of day in UTC, "HH:MM:SS.mmm".
std::string TraceTimeOfDay();
// One line of bytes: at most 16 in hexadecimal, padded to the column of the printable ones.
std::string TraceByteLine(const uint8_t* bytes, std::size_t count);
