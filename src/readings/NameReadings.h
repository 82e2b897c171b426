// Readings of a name from MeCab's word lattice, ranked for personal names: every split of
// the name into dictionary words (and MeCab's unknown-word guesses) is scored with the
// dictionary's own word and connection costs, and words the dictionary marks as surnames
// or given names, in that order, are favoured. The k best paths give distinct readings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "readings/NameParts.h"
#include "readings/NameReadingTable.h"

namespace MeCab {
class Model;
}

// Cost adjustments for names, in the units of the dictionary's costs (negative favours).
struct NameScoring {
  int surnameBonus = -1000;      // a word marked 人名,姓 while no given name has begun
  int givenBonus = -4000;        // a word marked 人名,名 after something else
  int personBonus = -800;        // a word marked 人名 of another kind
  int placeBonus = -2400;         // a word marked 地域 (many surnames are place names)
  int surnameAfterGiven = 3500;  // a surname once a given name has begun
  int givenFirst = 3000;         // a given name that starts the name
  int wordPenalty = 3500;           // every word, to favour fewer longer words
  int secondGivenName = 3000;    // a given name after a given name
  int notNounPenalty = 0;     // a verb, adjective or particle: names are nouns
  int unknownPenalty = 4000;     // a guessed (unknown) word
  int partCost = 9500;           // a learned kanji part learned from one name ...
  double partPerDoubling = 500;  // ... less this for every doubling of the names
  std::size_t beam = 40;         // paths kept per lattice node
  bool useNameTable = true;      // read full names by the names table (NameReadingTable.h)
};

// No adjustment: the paths ranked by the dictionary's costs alone, as MeCab ranks them.
inline NameScoring PlainMeCabScoring() {
  NameScoring plain;
  plain.surnameBonus = plain.givenBonus = plain.personBonus = plain.placeBonus = 0;
  plain.surnameAfterGiven = plain.givenFirst = plain.wordPenalty = plain.secondGivenName = 0;
  plain.notNounPenalty = plain.unknownPenalty = 0;
  plain.useNameTable = false;
  return plain;
}

struct RankedReading {
  std::string katakana;  // UTF-8, as the dictionary spells readings (full-width katakana)
  long cost = 0;
};

// Distinct readings of `name` (UTF-8 without spaces), cheapest first, at most `count`.
// `continuesName`: the text is the part after a space, so it follows a surname.
// Empty when no path has a reading for every word (e.g. a kanji the dictionary lacks).
// `parts`, when given, adds the learned readings of single kanji (NameParts.h).
std::vector<RankedReading> RankNameReadings(const MeCab::Model& model, const CNameParts* parts,
                                            std::string_view name, std::size_t count,
                                            const NameScoring& scoring = {},
                                            bool continuesName = false);

// Where a text stands in the name the user wrote: the whole name, or one of the parts the
// user wrote apart (the first is the surname, the others follow it).
enum class NamePosition { Whole, Surname, GivenName };

// Readings of `name` (UTF-8) from the names table, cheapest first, at most `count`: a
// whole name is read as a surname followed by a given name, split at every place the
// table knows both halves (the split's lengths weighed too), or as a surname or given name
// alone. Empty when the table knows no reading of it.
std::vector<RankedReading> TableNameReadings(const CNameReadingTable& table, std::string_view name,
                                             std::size_t count, NamePosition position);
