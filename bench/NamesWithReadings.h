// Names with known readings for measuring the reading suggester: the full names of real
// people in SKK's name dictionary (Debian's skkdic-extra, /usr/share/skk/SKK-JISYO.fullname,
// EUC-JIS-2004), a source independent of the MeCab dictionary the suggester reads. Only
// names a phonebook can hold are taken: at most 16 bytes in code page 932, kanji and kana.
// Names are split in two halves by a hash of the name: the development half, on which the
// name scoring was tuned, and the held-out half that the figures are reported on.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "phonebook/EntryRules.h"
#include "phonebook/ReadingText.h"
#include "platform/CodePage.h"

struct NameWithReadings {
  std::string name;                  // code page 932
  std::set<std::string> readings;    // the handset's readings (half-width, cut to 16 bytes)
};

inline std::string EucJis2004ToUtf8(const std::string& bytes) {
  iconv_t converter = iconv_open("UTF-8", "EUC-JISX0213");
  if (converter == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(bytes.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* to = out.data();
  std::size_t outLeft = out.size();
  const std::size_t done = iconv(converter, &in, &inLeft, &to, &outLeft);
  iconv_close(converter);
  if (done == static_cast<std::size_t>(-1)) return {};
  out.resize(out.size() - outLeft);
  return out;
}

// True for text of kanji (CJK ideographs and the iteration mark), kana and the
// prolonged-sound mark only.
inline bool IsKanjiKanaName(const std::u16string& text) {
  for (char16_t c : text) {
    const bool kanji = (c >= 0x4E00 && c <= 0x9FFF) || c == 0x3005;
    const bool kana = (c >= 0x3041 && c <= 0x3096) || (c >= 0x30A1 && c <= 0x30FC);
    if (!kanji && !kana) return false;
  }
  return !text.empty();
}

// `heldOut`: the half the figures are reported on; otherwise the development half.
inline std::vector<NameWithReadings> LoadNamesWithReadings(const std::string& path, bool heldOut) {
  std::ifstream file(path, std::ios::binary);
  std::map<std::string, std::set<std::string>> byName;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == ';') continue;
    const std::string text = EucJis2004ToUtf8(line);
    const std::size_t space = text.find(" /");
    if (space == std::string::npos) continue;
    bool lossless = true;
    std::string reading = ReadingFromKana(text.substr(0, space), lossless);
    if (!lossless || reading.empty()) continue;
    reading.resize(FitBytes(reading, kReadingMaxBytes));
    std::istringstream candidates(text.substr(space + 2));
    std::string candidate;
    while (std::getline(candidates, candidate, '/')) {
      const std::string name = candidate.substr(0, candidate.find(';'));
      if (!IsKanjiKanaName(Utf8ToUtf16(name))) continue;
      bool encodable = true;
      const std::string bytes = Utf8ToCp932(name, &encodable);
      if (!encodable || bytes.size() > kNameMaxBytes) continue;
      byName[bytes].insert(reading);
    }
  }
  std::vector<NameWithReadings> names;
  for (auto& [name, readings] : byName) {
    std::uint32_t hash = 2166136261u;  // FNV-1a: the same halves on every machine
    for (unsigned char byte : name) hash = (hash ^ byte) * 16777619u;
    const bool odd = hash % 2 == 1;
    if (odd == heldOut) names.push_back({name, readings});
  }
  return names;
}
