// How readings are grouped and ordered: the kana row of a reading's first byte and the
// rank of each byte in the reading order. The store's filters and orderings and the list
// view's sorting both use these, so an entry always lands under the same tab and in the
// same place whichever of them ordered the list.
#pragma once

#include <string_view>

// Rank of a reading byte in the reading order (ｱ..ﾜ ｦ ﾝ, small kana, letters, digits,
// marks, symbols); ranks compare as unsigned numbers, 255 for bytes outside the order.
unsigned char ReadingRank(unsigned char byte);

// Compares two readings by ReadingRank over the shorter length, the shorter first when
// no byte decides. Negative, zero or positive.
int CompareReadings(std::string_view a, std::string_view b);

// Kana row 0..10 of a reading, from its first byte (an empty reading is row 10).
int KanaRowOfFirstByte(std::string_view reading);
