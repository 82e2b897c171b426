// The learned name parts: a small text file read once when the dictionary is loaded.
#include "readings/NameParts.h"

#include <charconv>
#include <filesystem>
#include <fstream>

namespace {

bool ParseNumber(std::string_view text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool CNameParts::Load(const std::string& path, int contextIds) {
  std::ifstream file(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
  if (!file) return false;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // a file saved on Windows
    std::vector<std::string_view> fields;
    std::string_view rest(line);
    for (std::size_t tab; (tab = rest.find('\t')) != std::string_view::npos; rest.remove_prefix(tab + 1))
      fields.push_back(rest.substr(0, tab));
    fields.push_back(rest);
    int times = 0, left = 0, right = 0;
    if (fields.size() != 6 || fields[0].empty() || fields[1].empty() || !ParseNumber(fields[2], times) ||
        !ParseNumber(fields[3], left) || !ParseNumber(fields[4], right) || left < 0 ||
        left >= contextIds || right < 0 || right >= contextIds)
      continue;
    m_parts[std::string(fields[0])].push_back({std::string(fields[1]), times,
                                               static_cast<unsigned short>(left),
                                               static_cast<unsigned short>(right),
                                               fields[5] == "姓"});
    ++m_count;
  }
  return true;
}

const std::vector<NamePart>* CNameParts::Find(std::string_view kanji) const {
  const auto found = m_parts.find(std::string(kanji));
  return found == m_parts.end() ? nullptr : &found->second;
}
