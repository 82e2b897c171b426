// Code page 932 sample texts for the tests, spelled as bytes.
#pragma once

#include <string>

namespace cp932 {

// Full-width characters (two bytes each).
inline const std::string kYama = "\x8E\x52";   // 山
inline const std::string kDa = "\x93\x63";     // 田
inline const std::string kA = "\x88\x9F";      // 亜: its second byte also lies in the lead range
inline const std::string kOne = "\x82\x50";    // １
inline const std::string kTwo = "\x82\x51";    // ２

// Half-width katakana (one byte each).
inline const std::string kYamada = "\xD4\xCF\xC0\xDE";            // ﾔﾏﾀﾞ
inline const std::string kYamadaTaro = "\xD4\xCF\xC0\xDE \xC0\xDB\xB3";  // ﾔﾏﾀﾞ ﾀﾛｳ

inline std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

}  // namespace cp932
