// How a phonebook document is cut into lines, for every byte source the document is read
// from (a file, a byte string).
#pragma once

#include <cstddef>
#include <string>

// A line longer than this is cut here and the rest of it skipped, so that a file without
// line ends cannot make a reader hold an unbounded line. Real rows are under 200 bytes.
inline constexpr std::size_t kMaxLineBytes = 1024 * 1024;

// Reads one line from `source` (Get() gives the next byte or a negative value at the end):
// a line ends at LF, which is dropped; a CR ends the line together with the byte after it,
// which is dropped when it is LF and otherwise kept as the line's last byte; a CR at the very
// end just ends the line; the last line may lack a line end. False when nothing was left.
template <typename Source>
bool ReadDocumentLine(Source& source, std::string& line) {
  line.clear();
  int c = source.Get();
  if (c < 0) return false;
  for (; c >= 0; c = source.Get()) {
    if (c == '\n') break;
    if (c == '\r') {
      int after = source.Get();
      if (after >= 0 && after != '\n' && line.size() < kMaxLineBytes) {
        line.push_back(static_cast<char>(after));
      }
      break;
    }
    if (line.size() < kMaxLineBytes) line.push_back(static_cast<char>(c));
  }
  return true;
}
