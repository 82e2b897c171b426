// The two forms of code page 932 characters, 2.1 charset labels and conversion that
// leaves characters out.
#include "files/VcardCp932.h"

#include <algorithm>
#include <map>
#include <vector>

#include "phonebook/EntryRules.h"
#include "platform/CodePage.h"

namespace {

// Calls `visit` with each character of `cp932`: one byte, or a lead byte and the next.
template <typename Visit>
void ForEachCharacter(std::string_view cp932, Visit visit) {
  for (std::size_t i = 0; i < cp932.size();) {
    const std::size_t length = IsLeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size() ? 2 : 1;
    visit(cp932.substr(i, length));
    i += length;
  }
}

// The lead bytes of the rows where a character may stand in a second form.
bool MayHaveTwoForms(std::string_view character) {
  if (character.size() != 2) return false;
  const auto lead = static_cast<unsigned char>(character[0]);
  return lead == 0x87 || lead == 0xED || lead == 0xEE || (lead >= 0xFA && lead <= 0xFC);
}

// The form code page 932 writes the character in; empty when it does not convert cleanly.
std::string UsualForm(std::string_view character) {
  if (!MayHaveTwoForms(character)) return std::string(character);
  bool decoded = true;
  bool encoded = true;
  std::string usual = Utf8ToCp932(Cp932ToUtf8(character, &decoded), &encoded);
  return decoded && encoded ? usual : std::string();
}

// Characters of Shift_JIS: JIS X 0208 rows 1..8 and 16..84 (lead bytes 0x81..0x84,
// 0x88..0x9F, 0xE0..0xEA) but the six that the Shift_JIS and code page 932 tables map to
// different Unicode characters; ASCII and half-width katakana.
bool ReadsTheSameInShiftJis(std::string_view character) {
  const auto lead = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return lead < 0x80 || (lead >= 0xA1 && lead <= 0xDF);
  for (std::string_view differing : {"\x81\x60", "\x81\x61", "\x81\x7C", "\x81\x91", "\x81\x92", "\x81\xCA"})
    if (character == differing) return false;
  return (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA);
}

// Bytes of the UTF-8 character (or malformed fragment) at `at`: its lead byte and as many
// continuation bytes as it announces and the text has; at least 1.
std::size_t Utf8PieceLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  std::size_t length = 1;
  while (length < expected && at + length < text.size() &&
         (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80)
    ++length;
  return length;
}

}  // namespace

bool HasUnusualForms(std::string_view cp932) {
  bool unusual = false;
  ForEachCharacter(cp932, [&unusual](std::string_view character) {
    if (!unusual && MayHaveTwoForms(character)) {
      const std::string usual = UsualForm(character);
      unusual = !usual.empty() && usual != character;
    }
  });
  return unusual;
}

std::string WithFormsOf(std::string_view cp932, std::string_view source) {
  if (!HasUnusualForms(source)) return std::string(cp932);
  // Each usual form with the forms `source` writes it in, in order, and how many of them
  // the text has used so far.
  struct Forms {
    std::vector<std::string_view> written;
    std::size_t used = 0;
  };
  std::map<std::string, Forms, std::less<>> formsOf;
  ForEachCharacter(source, [&formsOf](std::string_view character) {
    if (character.size() != 2) return;
    if (const std::string usual = UsualForm(character); !usual.empty()) formsOf[usual].written.push_back(character);
  });
  std::string out;
  out.reserve(cp932.size());
  ForEachCharacter(cp932, [&](std::string_view character) {
    const auto found = formsOf.find(character);
    if (found == formsOf.end()) {
      out += character;
      return;
    }
    Forms& forms = found->second;
    out += forms.written[std::min(forms.used++, forms.written.size() - 1)];
  });
  return out;
}

std::string_view CharsetLabelOf(std::string_view cp932) {
  bool same = true;
  ForEachCharacter(cp932, [&same](std::string_view character) { same = same && ReadsTheSameInShiftJis(character); });
  return same ? "SHIFT_JIS" : "CP932";
}

std::string Cp932LeavingOut(std::string_view utf8, bool& lossless) {
  std::string cp932 = Utf8ToCp932(utf8, &lossless);
  if (lossless) return cp932;
  // Rare: character by character, so that only what the code page lacks is left out.
  cp932.clear();
  for (std::size_t at = 0, length = 0; at < utf8.size(); at += length) {
    length = Utf8PieceLength(utf8, at);
    bool converted = true;
    std::string character = Utf8ToCp932(utf8.substr(at, length), &converted);
    if (converted) cp932 += character;
  }
  return cp932;
}
