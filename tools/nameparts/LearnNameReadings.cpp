// Builds the table of surnames and given names with their readings that the reading
// suggester splits full names by, from three of Debian's dictionaries:
//   - IPADIC's names (mecab-ipadic, Noun.name.csv): common names, with the word costs
//     MeCab learned from a corpus, so the cheaper of two readings is the more usual one;
//   - JUMAN's Japanese names (mecab-jumandic-utf8, Noun.koyuu.csv): a few thousand of the
//     most frequent surnames and given names;
//   - ENAMDICT (enamdict): some 370,000 surnames and given names with every reading known,
//     but no hint which is usual. Full names of particular people (its "h" entries) are
//     left out: the table holds the parts of names, never whole names.
// How usual an ENAMDICT reading is, is judged by how its kanji are read in all the
// dictionary's names: each kanji's readings are learned by expectation maximisation over
// every way of cutting each name's reading into one piece per kanji, and a reading made of
// usual pieces (裕子 as ヒロコ rather than ユウネ) costs less.
// Each line of the output, sorted by surface (bytes), then kind, then cost:
//   surface TAB 姓 or 名 TAB reading (katakana) TAB cost
// At most kMaxReadings readings of each surface and kind are kept, the cheapest.
//   learn_name_readings IPADIC_SOURCE_FOLDER JUMAN_SOURCE_FOLDER ENAMDICT OUT.tsv
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "DictionaryText.h"

namespace {

using namespace dictionary_text;

constexpr std::size_t kMaxReadings = 12;
constexpr std::size_t kMaxAlignedKanji = 4;  // longer names are not cut into pieces
constexpr std::size_t kMaxPiece = 4;         // kana of one kanji's reading at most
constexpr int kAlignRounds = 5;

// The weights of a reading's cost (in thousandths, the units of the output), measured on
// names with known readings from a source none of these dictionaries is made from.
constexpr double kAlignWeight = 0.05;          // times minus the log-likelihood of the pieces
constexpr double kUnaligned = -30;             // the log-likelihood of a reading no cut fits
constexpr double kIpadicBonus = -5.6;          // a reading IPADIC has ...
constexpr double kIpadicCostScale = 0.000245;  // ... plus its word cost, scaled
constexpr double kJumanBonus = -4.0;           // a reading among JUMAN's frequent names
constexpr double kNotInEnamdict = 1.0;         // a reading ENAMDICT does not list

enum Kind { kSurname = 0, kGivenName = 1 };

struct Known {
  std::optional<int> ipadicCost;
  bool juman = false;
  bool enamdict = false;
};
// kind -> surface -> reading -> what the dictionaries say of it
using Table = std::map<std::u32string, std::map<std::u32string, Known>>;

std::vector<std::string> SplitFields(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::istringstream split(line);
  for (std::string field; std::getline(split, field, separator);) fields.push_back(field);
  return fields;
}

bool IsNameText(const std::u32string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char32_t c) {
    return IsKanji(c) || IsHiragana(c) || IsKatakana(c);
  });
}
bool IsKatakanaText(const std::u32string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsKatakana);
}

bool ReadIpadic(const std::filesystem::path& folder, Table (&table)[2]) {
  std::ifstream file(folder / "Noun.name.csv", std::ios::binary);
  std::string line;
  bool any = false;
  while (std::getline(file, line)) {
    const std::vector<std::string> fields = SplitFields(EucJpToUtf8(line), ',');
    if (fields.size() < 12 || fields[6] != "人名" || (fields[7] != "姓" && fields[7] != "名")) continue;
    const std::u32string surface = Decode(fields[0]), reading = Decode(fields[11]);
    if (!IsNameText(surface) || !IsKatakanaText(reading)) continue;
    Known& known = table[fields[7] == "姓" ? kSurname : kGivenName][surface][reading];
    const int cost = std::atoi(fields[3].c_str());
    if (!known.ipadicCost || cost < *known.ipadicCost) known.ipadicCost = cost;
    any = true;
  }
  return any;
}

bool ReadJuman(const std::filesystem::path& folder, Table (&table)[2]) {
  std::ifstream file(folder / "Noun.koyuu.csv", std::ios::binary);
  std::string line;
  bool any = false;
  while (std::getline(file, line)) {
    const std::vector<std::string> fields = SplitFields(line, ',');
    if (fields.size() < 11) continue;
    const std::vector<std::string> about = SplitFields(fields[10], ':');  // 人名:日本:姓:rank:share
    if (about.size() < 3 || about[0] != "人名" || about[1] != "日本" || (about[2] != "姓" && about[2] != "名"))
      continue;
    const std::u32string surface = Decode(fields[0]), reading = ToKatakana(Decode(fields[9]));
    if (!IsNameText(surface) || !IsKatakanaText(reading)) continue;
    table[about[2] == "姓" ? kSurname : kGivenName][surface][reading].juman = true;
    any = true;
  }
  return any;
}

// ENAMDICT's lines: "surface [reading] /(tags) gloss/..." or "kana /(tags) gloss/".
bool ReadEnamdict(const std::filesystem::path& path, Table (&table)[2]) {
  std::ifstream file(path, std::ios::binary);
  std::string line;
  bool any = false;
  while (std::getline(file, line)) {
    const std::string text = EucJpToUtf8(line);
    const std::size_t slash = text.find(" /");
    if (slash == std::string::npos) continue;
    std::string head = text.substr(0, slash);
    std::u32string surface, reading;
    if (const std::size_t open = head.find(" ["); open != std::string::npos && head.back() == ']') {
      surface = Decode(head.substr(0, open));
      reading = ToKatakana(Decode(head.substr(open + 2, head.size() - open - 3)));
    } else {
      surface = Decode(head);
      reading = ToKatakana(surface);
    }
    if (!IsNameText(surface) || !IsKatakanaText(reading)) continue;
    std::set<std::string> tags;
    const std::string glosses = text.substr(slash + 1);
    for (std::size_t open = glosses.find('('); open != std::string::npos; open = glosses.find('(', open + 1)) {
      const std::size_t close = glosses.find(')', open);
      if (close == std::string::npos) break;
      for (const std::string& tag : SplitFields(glosses.substr(open + 1, close - open - 1), ','))
        tags.insert(tag);
    }
    if (tags.count("h")) continue;  // a particular person's full name
    const bool surname = tags.count("s") || tags.count("u");
    const bool given = tags.count("g") || tags.count("f") || tags.count("m") || tags.count("u");
    if (surname) table[kSurname][surface][reading].enamdict = true;
    if (given) table[kGivenName][surface][reading].enamdict = true;
    any = any || surname || given;
  }
  return any;
}

// A reading cut into one piece per kanji: the pieces, as (kanji, piece) pairs.
using Piece = std::pair<char32_t, std::u32string>;
using Cut = std::vector<Piece>;

bool StartsPiece(char32_t c) {
  return std::u32string_view(U"ーッンャュョァィゥェォヮ").find(c) == std::u32string_view::npos;
}

void Cuts(const std::u32string& surface, const std::u32string& reading, std::size_t at,
          std::size_t from, Cut& cut, std::vector<Cut>& out) {
  if (at == surface.size()) {
    if (from == reading.size()) out.push_back(cut);
    return;
  }
  const std::size_t rest = surface.size() - at - 1;  // kanji after this one, a kana each at least
  for (std::size_t length = 1; length <= kMaxPiece && from + length + rest <= reading.size(); ++length) {
    if (!StartsPiece(reading[from])) break;
    cut.push_back({surface[at], reading.substr(from, length)});
    Cuts(surface, reading, at + 1, from + length, cut, out);
    cut.pop_back();
  }
}

std::vector<Cut> CutsOf(const std::u32string& surface, const std::u32string& reading) {
  std::vector<Cut> out;
  if (surface.size() > kMaxAlignedKanji || !std::all_of(surface.begin(), surface.end(), IsKanji))
    return out;
  Cut cut;
  Cuts(surface, reading, 0, 0, cut, out);
  return out;
}

using PieceOdds = std::map<Piece, double>;

double Odds(const PieceOdds& odds, const Piece& piece) {
  const auto found = odds.find(piece);
  return found == odds.end() ? 1e-6 : std::max(found->second, 1e-6);
}

// How each kanji is read in ENAMDICT's names of one kind: expectation maximisation over
// the cuts of every name's reading, starting from all cuts alike.
PieceOdds LearnPieces(const Table& table) {
  std::vector<std::vector<Cut>> names;
  for (const auto& [surface, readings] : table)
    for (const auto& [reading, known] : readings)
      if (known.enamdict)
        if (std::vector<Cut> cuts = CutsOf(surface, reading); !cuts.empty()) names.push_back(std::move(cuts));
  PieceOdds odds;
  for (int round = 0; round < kAlignRounds; ++round) {
    std::map<Piece, double> counts;
    for (const std::vector<Cut>& cuts : names) {
      std::vector<double> weights;
      double total = 0;
      for (const Cut& cut : cuts) {
        double weight = 1;
        if (round > 0)
          for (const Piece& piece : cut) weight *= Odds(odds, piece);
        weights.push_back(weight);
        total += weight;
      }
      for (std::size_t i = 0; i < cuts.size(); ++i)
        for (const Piece& piece : cuts[i]) counts[piece] += weights[i] / total;
    }
    std::map<char32_t, double> perKanji;
    for (const auto& [piece, count] : counts) perKanji[piece.first] += count;
    odds.clear();
    for (const auto& [piece, count] : counts) odds[piece] = count / perKanji[piece.first];
  }
  return odds;
}

double LogLikelihood(const PieceOdds& odds, const std::u32string& surface, const std::u32string& reading) {
  double best = kUnaligned;
  bool any = false;
  for (const Cut& cut : CutsOf(surface, reading)) {
    double sum = 0;
    for (const Piece& piece : cut) sum += std::log(Odds(odds, piece));
    if (!any || sum > best) best = sum;
    any = true;
  }
  return best;
}

int CostOf(const Known& known, double logLikelihood) {
  double cost = -kAlignWeight * logLikelihood;
  if (known.ipadicCost) cost += kIpadicBonus + kIpadicCostScale * *known.ipadicCost;
  if (known.juman) cost += kJumanBonus;
  if (!known.enamdict) cost += kNotInEnamdict;
  return static_cast<int>(std::lround(cost * 1000));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: learn_name_readings IPADIC_SOURCE_FOLDER JUMAN_SOURCE_FOLDER ENAMDICT OUT.tsv\n";
    return 64;
  }
  Table table[2];
  if (!ReadIpadic(argv[1], table) || !ReadJuman(argv[2], table) || !ReadEnamdict(argv[3], table)) {
    std::cerr << "learn_name_readings: a dictionary gave no names (" << argv[1] << ", " << argv[2]
              << ", " << argv[3] << ")\n";
    return 66;
  }
  struct Line {
    std::string surface;
    int kind;
    int cost;
    std::string reading;
    bool operator<(const Line& other) const {
      return std::tie(surface, kind, cost, reading) < std::tie(other.surface, other.kind, other.cost, other.reading);
    }
  };
  std::vector<Line> lines;
  for (int kind : {kSurname, kGivenName}) {
    const PieceOdds odds = LearnPieces(table[kind]);
    for (const auto& [surface, readings] : table[kind]) {
      std::vector<Line> ofSurface;
      for (const auto& [reading, known] : readings)
        ofSurface.push_back({Encode(surface), kind, CostOf(known, LogLikelihood(odds, surface, reading)),
                             Encode(reading)});
      std::sort(ofSurface.begin(), ofSurface.end());
      if (ofSurface.size() > kMaxReadings) ofSurface.resize(kMaxReadings);
      lines.insert(lines.end(), ofSurface.begin(), ofSurface.end());
    }
  }
  std::sort(lines.begin(), lines.end());
  std::ofstream out(argv[4], std::ios::binary);
  for (const Line& line : lines)
    out << line.surface << '\t' << (line.kind == kSurname ? "姓" : "名") << '\t' << line.reading << '\t'
        << line.cost << '\n';
  return out.good() ? 0 : 74;
}
