// The names table: read once when the dictionary is loaded, then only searched.
#include "readings/NameReadingTable.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <type_traits>
#include <limits>

namespace {

constexpr std::string_view kSurnameMark = "姓", kGivenMark = "名";

}  // namespace

bool CNameReadingTable::Load(const std::string& path) {
  m_text.clear();
  m_lines.clear();
  std::ifstream file(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
  if (!file) return false;
  m_text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad() || m_text.size() > std::numeric_limits<std::uint32_t>::max()) {
    m_text.clear();
    return false;
  }
  const std::string_view text(m_text);
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // a file saved on Windows
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    const std::size_t tab3 = tab2 == std::string_view::npos ? tab2 : line.find('\t', tab2 + 1);
    if (tab3 != std::string_view::npos) {
      const std::string_view kind = line.substr(tab1 + 1, tab2 - tab1 - 1);
      const std::string_view number = line.substr(tab3 + 1);
      int cost = 0;
      const auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), cost);
      const bool known = kind == kSurnameMark || kind == kGivenMark;
      if (error == std::errc() && stop == number.data() + number.size() && known && tab1 > 0 &&
          tab1 <= 0xFFFF && tab3 - tab2 - 1 > 0 && tab3 - tab2 - 1 <= 0xFFFF) {
        Line entry{static_cast<std::uint32_t>(start), static_cast<std::uint16_t>(tab1),
                   static_cast<std::uint16_t>(tab3 - tab2 - 1), cost, kind == kSurnameMark};
        if (!m_lines.empty() && SurfaceOf(entry) < SurfaceOf(m_lines.back())) {
          m_text.clear();  // unsorted: searching it would miss names
          m_lines.clear();
          return false;
        }
        m_lines.push_back(entry);
      }
    }
    start = end + 1;
  }
  m_lines.shrink_to_fit();
  return true;
}

std::vector<TableReading> CNameReadingTable::Find(std::string_view surface, bool surname) const {
  const auto [first, last] = std::equal_range(
      m_lines.begin(), m_lines.end(), surface, [this](const auto& a, const auto& b) {
        if constexpr (std::is_same_v<std::decay_t<decltype(a)>, Line>) return SurfaceOf(a) < b;
        else return a < SurfaceOf(b);
      });
  std::vector<TableReading> readings;
  for (auto line = first; line != last; ++line) {
    if (line->surname != surname) continue;
    const std::size_t reading = line->start + line->surface + 1 + (surname ? kSurnameMark : kGivenMark).size() + 1;
    readings.push_back({std::string_view(m_text).substr(reading, line->reading), line->cost});
  }
  std::stable_sort(readings.begin(), readings.end(),
                   [](const TableReading& a, const TableReading& b) { return a.cost < b.cost; });
  return readings;
}
