// Learns how the kanji of names are read from IPADIC's own word list (its source CSV files,
// Debian's mecab-ipadic), for the reading suggester: names are mostly written with kanji
// whose name readings (アキ for 昭, ミツ for 充) the dictionary has only inside whole names.
// For every two-kanji word, where one kanji's reading is known (a one-kanji word of the
// dictionary, or learned in an earlier round), the rest of the word's reading is the other
// kanji's. Readings found at least twice are written, one per line:
//   kanji TAB reading (katakana) TAB times found TAB left context id TAB right context id
//   TAB 姓 or 名
// The context ids are those of the names (人名,姓 or 人名,名) the reading was learned
// from, so the suggester joins the parts to their neighbours as the dictionary would.
//   learn_name_parts IPADIC_SOURCE_FOLDER OUT.tsv
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "DictionaryText.h"

namespace {

struct Word {
  std::u32string surface;
  std::u32string reading;
  std::string leftId, rightId;
  bool surname = false;  // 人名,姓 (otherwise 人名,名, or another word)
  bool name = false;     // 人名,姓 or 人名,名
};

using namespace dictionary_text;

bool IsKatakana(const std::u32string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](char32_t c) { return c >= 0x30A1 && c <= 0x30FC; });
}

std::vector<Word> ReadWords(const std::filesystem::path& folder) {
  std::vector<Word> words;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".csv") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
      std::vector<std::string> fields;
      std::istringstream split(EucJpToUtf8(line));
      for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
      if (fields.size() < 12) continue;
      Word word{Decode(fields[0]), Decode(fields[11]), fields[1], fields[2]};
      if (!IsKatakana(word.reading) || word.surface.empty() ||
          !std::all_of(word.surface.begin(), word.surface.end(), IsKanji))
        continue;
      word.name = fields[4] == "名詞" && fields[6] == "人名" && (fields[7] == "姓" || fields[7] == "名");
      word.surname = word.name && fields[7] == "姓";
      words.push_back(std::move(word));
    }
  }
  return words;
}

using Part = std::tuple<char32_t, std::u32string, bool>;  // kanji, reading, learned from a surname

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: learn_name_parts IPADIC_SOURCE_FOLDER OUT.tsv\n";
    return 64;
  }
  const std::vector<Word> words = ReadWords(argv[1]);
  if (words.empty()) {
    std::cerr << "learn_name_parts: no words in " << argv[1] << "\n";
    return 66;
  }
  std::map<char32_t, std::set<std::u32string>> known;
  std::map<bool, std::pair<std::string, std::string>> ids;  // surname? -> context ids
  for (const Word& word : words) {
    if (word.surface.size() == 1) known[word.surface[0]].insert(word.reading);
    if (word.name) ids[word.surname] = {word.leftId, word.rightId};
  }
  std::map<Part, int> found;
  for (int round = 0; round < 2; ++round) {
    found.clear();
    for (const Word& word : words) {
      if (!word.name || word.surface.size() != 2) continue;
      const std::u32string& reading = word.reading;
      std::set<Part> fromThisWord;
      for (int side = 0; side < 2; ++side) {
        const char32_t knownKanji = word.surface[side], otherKanji = word.surface[1 - side];
        for (const std::u32string& part : known[knownKanji]) {
          if (part.size() >= reading.size()) continue;
          const bool fits = side == 0 ? reading.starts_with(part) : reading.ends_with(part);
          if (!fits) continue;
          const std::u32string rest = side == 0 ? reading.substr(part.size())
                                                : reading.substr(0, reading.size() - part.size());
          if (rest.size() <= 4 && rest[0] != U'ー' && rest[0] != U'ッ' && rest[0] != U'ン')
            fromThisWord.insert({otherKanji, rest, word.surname});
        }
      }
      for (const Part& part : fromThisWord) ++found[part];
    }
    for (const auto& [part, times] : found)
      if (times >= 2) known[std::get<0>(part)].insert(std::get<1>(part));
  }
  std::ofstream out(argv[2], std::ios::binary);
  for (const auto& [part, times] : found) {
    if (times < 2) continue;
    const auto& [kanji, reading, surname] = part;
    const auto& [left, right] = ids[surname];
    out << Encode(std::u32string(1, kanji)) << '\t' << Encode(reading) << '\t' << times << '\t'
        << left << '\t' << right << '\t' << (surname ? "姓" : "名") << '\n';
  }
  return out.good() ? 0 : 74;
}
