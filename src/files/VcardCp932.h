// Code page 932 in vCard values: the characters the code page writes in two ways, the
// CHARSET a 2.1 value is labelled with, and conversion that leaves out what the code page
// lacks.
//
// Code page 932 holds some characters twice: the NEC-selected IBM extensions (lead bytes
// 0xED, 0xEE) repeat the kanji and signs of the IBM extensions (0xFA..0xFC), and the NEC
// signs of row 13 (0x87) repeat some of rows 1 and 2 and of the IBM extensions. Both forms
// read as the same Unicode character, which the code page writes back in one of them (its
// usual form: 纊 is written FA5C, whether it was ED40 or FA5C). Where a text must keep its
// bytes through Unicode, the bytes it came from say which form each character takes.
#pragma once

#include <string>
#include <string_view>

// True when a character of `cp932` is not in its usual form (ED40 纊, 8790 ≒).
bool HasUnusualForms(std::string_view cp932);

// `cp932` with each character of two forms written as `source` writes it: the n-th
// occurrence of a character takes the form of its n-th occurrence in `source`, and later
// ones the form of its last. Only forms change, never characters: a `source` that holds
// other text, or no such characters, leaves `cp932` as it is.
std::string WithFormsOf(std::string_view cp932, std::string_view source);

// The CHARSET of a 2.1 value in code page 932: "SHIFT_JIS" when every character reads the
// same in Shift_JIS, otherwise "CP932" (NEC and IBM extensions such as ① and 纊, and the
// six signs the two tables read differently, such as 〜 8160 and ￢ 81CA).
std::string_view CharsetLabelOf(std::string_view cp932);

// Code page 932 bytes of UTF-8 text without the characters the code page lacks (emoji,
// hangul, a malformed sequence); `lossless` is set false when any was left out.
std::string Cp932LeavingOut(std::string_view utf8, bool& lossless);
