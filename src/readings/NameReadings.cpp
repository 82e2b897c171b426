// The name-ranking search over MeCab's lattice. MeCab's own Viterbi search ranks words by
// how text runs in general; names follow a pattern of their own (a surname, then a given
// name), so the search here runs again over the same words and costs with that pattern.
#include "readings/NameReadings.h"

#include <mecab.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace {

// Where a path stands in the name's pattern.
enum Phase : int { kStart = 0, kInSurname = 1, kInGivenName = 2, kPhases = 3 };

enum class WordKind { Surname, GivenName, Person, Place, Noun, Other, Unknown, SurnamePart, GivenPart };

// The comma-separated field `index` of a node's feature text (empty when it lacks one).
std::string_view FeatureField(std::string_view feature, int index) {
  for (int i = 0; i < index; ++i) {
    const std::size_t comma = feature.find(',');
    if (comma == std::string_view::npos) return {};
    feature.remove_prefix(comma + 1);
  }
  return feature.substr(0, feature.find(','));
}

WordKind KindOf(const MeCab::Node& node) {
  if (node.stat == MECAB_UNK_NODE) return WordKind::Unknown;
  const std::string_view feature(node.feature);
  if (feature.starts_with("名詞,固有名詞,人名,姓")) return WordKind::Surname;
  if (feature.starts_with("名詞,固有名詞,人名,名")) return WordKind::GivenName;
  if (feature.starts_with("名詞,固有名詞,人名")) return WordKind::Person;
  if (feature.starts_with("名詞,固有名詞,地域")) return WordKind::Place;
  if (feature.starts_with("名詞") || feature.starts_with("接頭詞")) return WordKind::Noun;
  return WordKind::Other;
}

// True when every character of the UTF-8 text is one whose reading is itself: kana, the
// prolonged-sound mark, ASCII letters and digits or their full-width forms.
bool ReadsAsWritten(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    char32_t code = lead;
    int length = 1;
    if (lead >= 0xF0) length = 4, code = lead & 0x07;
    else if (lead >= 0xE0) length = 3, code = lead & 0x0F;
    else if (lead >= 0xC0) length = 2, code = lead & 0x1F;
    if (i + length > text.size()) return false;
    for (int k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    const bool ascii = (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
                       (code >= 'a' && code <= 'z');
    const bool kana = (code >= 0x3041 && code <= 0x3096) || (code >= 0x30A1 && code <= 0x30FC) ||
                      (code >= 0xFF66 && code <= 0xFF9F);
    const bool wide = (code >= 0xFF10 && code <= 0xFF19) || (code >= 0xFF21 && code <= 0xFF3A) ||
                      (code >= 0xFF41 && code <= 0xFF5A);
    if (!ascii && !kana && !wide) return false;
    i += length;
  }
  return !text.empty();
}

// The reading of one word: the dictionary's reading field (IPADIC and NAIST-jdic keep it
// in field 7, UniDic's kana in field 20), or the word itself when it is written in kana
// or letters. Empty when the word has none (an unknown kanji).
std::string ReadingOf(const MeCab::Node& node) {
  const std::string_view surface(node.surface, node.length);
  if (node.stat != MECAB_UNK_NODE) {
    const std::string_view feature(node.feature);
    const int fields = static_cast<int>(std::count(feature.begin(), feature.end(), ',')) + 1;
    const std::string_view reading = FeatureField(feature, fields > 20 ? 20 : 7);
    if (!reading.empty() && reading != "*") return std::string(reading);
  }
  return ReadsAsWritten(surface) ? std::string(surface) : std::string();
}

// A word of the lattice: one of the dictionary's (or MeCab's guess), or a learned part.
struct Word {
  std::size_t length;  // bytes
  unsigned short leftId, rightId;
  long cost;
  WordKind kind;
  std::string reading;
};

struct Hypothesis {
  long cost;
  int fromState;  // index into the states, -1 at the start
  int fromRank;   // which of that state's hypotheses
};

// One word in one phase, with its cheapest ways in.
struct State {
  const Word* word;  // null for the start
  int phase;
  std::vector<Hypothesis> best;  // cheapest first
};

struct Step {
  long cost;
  int phase;
};

Step Extend(const NameScoring& scoring, int phase, WordKind kind, bool first) {
  const long cost = scoring.wordPenalty;
  switch (kind) {
    case WordKind::Surname:
    case WordKind::SurnamePart:
      if (phase == kInGivenName) return {cost + scoring.surnameAfterGiven, kInGivenName};
      if (kind == WordKind::SurnamePart) return {cost, kInSurname};
      return {cost + (phase == kStart ? scoring.surnameBonus : 0), kInSurname};
    case WordKind::GivenName:
    case WordKind::GivenPart:
      if (first) return {cost + scoring.givenFirst, kInGivenName};
      if (kind == WordKind::GivenPart) return {cost, kInGivenName};
      if (phase == kInGivenName) return {cost + scoring.secondGivenName, kInGivenName};
      return {cost + (phase == kInSurname ? scoring.givenBonus : 0), kInGivenName};
    case WordKind::Person:
    case WordKind::Place:
      if (phase != kStart) return {cost, phase};
      return {cost + (kind == WordKind::Person ? scoring.personBonus : scoring.placeBonus),
              kInSurname};
    case WordKind::Unknown: return {cost + scoring.unknownPenalty, phase};
    case WordKind::Other: return {cost + scoring.notNounPenalty, phase};
    case WordKind::Noun: break;
  }
  return {cost, phase};
}

void Offer(std::vector<Hypothesis>& best, const Hypothesis& hypothesis, std::size_t keep) {
  if (best.size() >= keep && hypothesis.cost >= best.back().cost) return;
  const auto at = std::upper_bound(best.begin(), best.end(), hypothesis,
                                   [](const Hypothesis& a, const Hypothesis& b) { return a.cost < b.cost; });
  best.insert(at, hypothesis);
  if (best.size() > keep) best.pop_back();
}

// The words that start at `pos`: the dictionary's, and the learned parts of the one kanji
// there.
std::vector<Word> WordsAt(const MeCab::Model& model, MeCab::Lattice& lattice, const char* begin,
                          const char* end, const CNameParts* parts, const NameScoring& scoring) {
  std::vector<Word> words;
  for (const MeCab::Node* node = model.lookup(begin, end, &lattice); node; node = node->bnext) {
    if (node->length == 0 || node->rlength != node->length) continue;
    std::string reading = ReadingOf(*node);
    if (reading.empty()) continue;
    words.push_back({node->length, node->lcAttr, node->rcAttr, node->wcost, KindOf(*node),
                     std::move(reading)});
  }
  if (!parts) return words;
  const auto lead = static_cast<unsigned char>(*begin);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (static_cast<std::size_t>(end - begin) < length) return words;
  if (const std::vector<NamePart>* found = parts->Find(std::string_view(begin, length))) {
    for (const NamePart& part : *found) {
      const long cost = scoring.partCost - static_cast<long>(scoring.partPerDoubling * std::log2(part.times));
      words.push_back({length, part.leftId, part.rightId, cost,
                       part.surname ? WordKind::SurnamePart : WordKind::GivenPart, part.reading});
    }
  }
  return words;
}

}  // namespace

std::vector<RankedReading> RankNameReadings(const MeCab::Model& model, const CNameParts* parts,
                                            std::string_view name, std::size_t count,
                                            const NameScoring& scoring, bool continuesName) {
  if (name.empty() || count == 0) return {};
  const std::string sentence(name);
  std::unique_ptr<MeCab::Lattice> lattice(model.createLattice());
  lattice->set_sentence(sentence.c_str(), sentence.size());
  const char* begin = lattice->sentence();
  const char* end = begin + sentence.size();

  // Each position's words stay where they are: states point at them.
  std::vector<std::unique_ptr<std::vector<Word>>> wordsAt(sentence.size());
  std::vector<State> states;
  states.push_back({nullptr, continuesName ? kInSurname : kStart, {{0, -1, 0}}});
  std::vector<std::vector<int>> endingAt(sentence.size() + 1);  // states by the byte their word ends at
  endingAt[0].push_back(0);

  for (std::size_t pos = 0; pos < sentence.size(); ++pos) {
    if (endingAt[pos].empty()) continue;
    wordsAt[pos] = std::make_unique<std::vector<Word>>(
        WordsAt(model, *lattice, begin + pos, end, parts, scoring));
    for (const Word& word : *wordsAt[pos]) {
      int byPhase[kPhases] = {-1, -1, -1};  // this word's state in each phase
      for (int from : endingAt[pos]) {
        const Step step = Extend(scoring, states[static_cast<std::size_t>(from)].phase, word.kind,
                                 from == 0 && !continuesName);
        if (byPhase[step.phase] < 0) {
          byPhase[step.phase] = static_cast<int>(states.size());
          states.push_back({&word, step.phase, {}});
        }
        const State& source = states[static_cast<std::size_t>(from)];
        const unsigned short right = source.word ? source.word->rightId : 0;
        const long link = model.transition_cost(right, word.leftId) + word.cost + step.cost;
        std::vector<Hypothesis>& best = states[static_cast<std::size_t>(byPhase[step.phase])].best;
        for (std::size_t rank = 0; rank < source.best.size(); ++rank)
          Offer(best, {source.best[rank].cost + link, from, static_cast<int>(rank)}, scoring.beam);
      }
      for (int target : byPhase)
        if (target >= 0) endingAt[pos + word.length].push_back(target);
    }
  }

  // The end of the name, then the paths back to its start, cheapest first.
  std::vector<Hypothesis> finals;
  const std::size_t keep = std::max(scoring.beam, count * 8);
  for (int from : endingAt[sentence.size()]) {
    const State& source = states[static_cast<std::size_t>(from)];
    const long link = model.transition_cost(source.word->rightId, 0);
    for (std::size_t rank = 0; rank < source.best.size(); ++rank)
      Offer(finals, {source.best[rank].cost + link, from, static_cast<int>(rank)}, keep);
  }
  std::vector<RankedReading> ranked;
  std::set<std::string> seen;
  for (const Hypothesis& final : finals) {
    std::vector<const std::string*> words;
    for (int state = final.fromState, rank = final.fromRank; state > 0;) {
      const State& at = states[static_cast<std::size_t>(state)];
      words.push_back(&at.word->reading);
      const Hypothesis& way = at.best[static_cast<std::size_t>(rank)];
      state = way.fromState;
      rank = way.fromRank;
    }
    std::string reading;
    for (auto word = words.rbegin(); word != words.rend(); ++word) reading += **word;
    if (!seen.insert(reading).second) continue;
    ranked.push_back({std::move(reading), final.cost});
    if (ranked.size() == count) break;
  }
  return ranked;
}

namespace {

// Byte offsets where each character of the UTF-8 text starts, and its end.
std::vector<std::size_t> CharacterStarts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  starts.push_back(text.size());
  return starts;
}

// What a split of a full name costs besides its readings, by the characters of its surname
// and given name: two and two is the most usual, one and one or one and two next, and so on.
int SplitCost(std::size_t surname, std::size_t given) {
  static constexpr int kCost[4][4] = {
      {0, 0, 0, 0}, {0, 0, 1000, 2000}, {0, 500, 0, 500}, {0, 2000, 1000, 2000}};
  return surname < 4 && given < 4 ? kCost[surname][given] : 2000;
}
constexpr int kSurnameAlone = 0;    // a name that is a surname alone
constexpr int kGivenNameAlone = 1000;  // a name that is a given name alone

void Keep(std::map<std::string, long>& best, std::string reading, long cost) {
  const auto [at, added] = best.emplace(std::move(reading), cost);
  if (!added && cost < at->second) at->second = cost;
}

}  // namespace

std::vector<RankedReading> TableNameReadings(const CNameReadingTable& table, std::string_view name,
                                             std::size_t count, NamePosition position) {
  std::map<std::string, long> best;  // reading -> its cheapest way
  if (position != NamePosition::GivenName)
    for (const TableReading& whole : table.Find(name, true))
      Keep(best, std::string(whole.katakana), whole.cost + kSurnameAlone);
  if (position != NamePosition::Surname)
    for (const TableReading& whole : table.Find(name, false))
      Keep(best, std::string(whole.katakana), whole.cost + (position == NamePosition::Whole ? kGivenNameAlone : 0));
  if (position == NamePosition::Whole) {
    const std::vector<std::size_t> starts = CharacterStarts(name);
    const std::size_t characters = starts.size() - 1;
    for (std::size_t cut = 1; cut < characters; ++cut) {
      const std::vector<TableReading> surnames = table.Find(name.substr(0, starts[cut]), true);
      if (surnames.empty()) continue;
      const std::vector<TableReading> givens = table.Find(name.substr(starts[cut]), false);
      const int split = SplitCost(cut, characters - cut);
      for (const TableReading& surname : surnames)
        for (const TableReading& given : givens)
          Keep(best, std::string(surname.katakana) + std::string(given.katakana),
               static_cast<long>(surname.cost) + given.cost + split);
    }
  }
  std::vector<RankedReading> ranked;
  for (auto& [reading, cost] : best) ranked.push_back({reading, cost});
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const RankedReading& a, const RankedReading& b) { return a.cost < b.cost; });
  if (ranked.size() > count) ranked.resize(count);
  return ranked;
}
