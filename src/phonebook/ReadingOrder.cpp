// The reading order and the kana rows of readings.
#include "phonebook/ReadingOrder.h"

#include <array>

namespace {

struct RankRun {
  unsigned char first;
  unsigned char last;
  unsigned char rank;  // rank of `first`; the run counts up by one per byte
};

constexpr RankRun kRankRuns[] = {
    {0xB1, 0xDC, 1},    // ｱ..ﾜ
    {0xA6, 0xA6, 45},   // ｦ
    {0xDD, 0xDD, 46},   // ﾝ
    {0xA7, 0xAF, 48},   // small ｧ..ｯ
    {0x41, 0x5A, 65},   // A..Z
    {0x61, 0x7A, 91},   // a..z
    {0x30, 0x39, 128},  // 0..9
    {0xDE, 0xDF, 160},  // voiced-sound marks
    {0xB0, 0xB0, 162},  // prolonged-sound mark
    {0xA1, 0xA5, 163},  // half-width punctuation
    {0x5B, 0x5F, 168},  // [ \ ] ^ _
    {0x20, 0x2F, 173},  // space ! " # $ % & ' ( ) * + , - . /
    {0x3A, 0x40, 189},  // : ; < = > ? @
    {0x7B, 0x7F, 196},  // { | } ~ DEL
};

std::array<unsigned char, 256> BuildRanks() {
  std::array<unsigned char, 256> ranks;
  ranks.fill(255);
  ranks[0x00] = 0;
  ranks[0xFF] = 0;
  for (const RankRun& run : kRankRuns) {
    for (int byte = run.first; byte <= run.last; ++byte)
      ranks[byte] = static_cast<unsigned char>(run.rank + (byte - run.first));
  }
  return ranks;
}

struct KanaRowRun {
  unsigned char first;
  unsigned char last;
  int row;
};

constexpr KanaRowRun kKanaRowRuns[] = {
    {0xB1, 0xB5, 0}, {0xA7, 0xAB, 0},                    // あ
    {0xB6, 0xBA, 1},                                     // か
    {0xBB, 0xBF, 2},                                     // さ
    {0xC0, 0xC4, 3}, {0xAF, 0xAF, 3},                    // た
    {0xC5, 0xC9, 4},                                     // な
    {0xCA, 0xCE, 5},                                     // は
    {0xCF, 0xD3, 6},                                     // ま
    {0xD4, 0xD6, 7}, {0xAC, 0xAE, 7},                    // や
    {0xD7, 0xDB, 8},                                     // ら
    {0xDC, 0xDD, 9}, {0xA6, 0xA6, 9},                    // わ
};

}  // namespace

unsigned char ReadingRank(unsigned char byte) {
  static const std::array<unsigned char, 256> ranks = BuildRanks();
  return ranks[byte];
}

int CompareReadings(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const int difference = ReadingRank(static_cast<unsigned char>(a[i])) -
                           ReadingRank(static_cast<unsigned char>(b[i]));
    if (difference != 0) return difference;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int KanaRowOfFirstByte(std::string_view reading) {
  if (reading.empty()) return 10;
  const auto first = static_cast<unsigned char>(reading[0]);
  for (const KanaRowRun& run : kKanaRowRuns) {
    if (first >= run.first && first <= run.last) return run.row;
  }
  return 10;
}
