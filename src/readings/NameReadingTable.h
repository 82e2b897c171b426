// Surnames and given names with their readings and how usual each reading is, gathered at
// build time from Debian's dictionaries (tools/nameparts): the suggester splits a full
// name into a surname and a given name it finds here. The file is kept in memory as read,
// one line per reading, sorted by the name's text, and searched by halving.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TableReading {
  std::string_view katakana;  // UTF-8, into the table's text
  int cost = 0;               // lower is more usual
};

class CNameReadingTable {
 public:
  // Reads the table (surface TAB 姓 or 名 TAB reading TAB cost, one per line, sorted by
  // surface); false when the file cannot be read or is not sorted, which leaves the table
  // empty. Malformed lines are passed over.
  bool Load(const std::string& path);
  // The readings of `surface` (UTF-8) as a surname, or else as a given name, cheapest first.
  std::vector<TableReading> Find(std::string_view surface, bool surname) const;
  std::size_t Count() const { return m_lines.size(); }
  std::size_t Bytes() const { return m_text.size() + m_lines.size() * sizeof(Line); }

 private:
  struct Line {
    std::uint32_t start;      // of the surface
    std::uint16_t surface;    // bytes of the surface
    std::uint16_t reading;    // bytes of the reading, which starts after surface and kind
    std::int32_t cost;
    bool surname;
  };
  std::string_view SurfaceOf(const Line& line) const {
    return std::string_view(m_text).substr(line.start, line.surface);
  }

  std::string m_text;
  std::vector<Line> m_lines;
};
