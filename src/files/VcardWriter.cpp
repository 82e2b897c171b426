// The vCard writer: one card per entry, lines of at most 75 octets.
#include "files/VcardWriter.h"

#include <cstdio>

#include "files/VcardEntry.h"
#include "files/VcardText.h"
#include "phonebook/EntryRules.h"
#include "platform/CodePage.h"

namespace {

constexpr std::size_t kMaxLineOctets = 75;  // before the CRLF, as vCard asks
constexpr std::string_view kCrLf = "\r\n";

// A 3.0 content line, folded so that no line is longer than 75 octets: each
// continuation starts with a space, and a UTF-8 character is never cut in two.
void AppendFolded(std::string& out, std::string_view line) {
  std::size_t room = kMaxLineOctets;
  while (line.size() > room) {
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out.append(line.substr(0, cut)).append(kCrLf).append(" ");
    line.remove_prefix(cut);
    room = kMaxLineOctets - 1;
  }
  out.append(line).append(kCrLf);
}

std::vector<std::string> PhonesOf(const PhonebookEntry& entry) {
  std::vector<std::string> phones;
  for (const std::string* phone : {&entry.phone1, &entry.phone2, &entry.phone3})
    if (!phone->empty()) phones.push_back(*phone);
  return phones;
}

void AppendCard30(std::string& out, const PhonebookEntry& entry) {
  const std::string name = Cp932ToUtf8(entry.name);
  const auto [family, given] = SplitNameParts(name, kNameSeparator);
  out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  AppendFolded(out, "N:" + EscapeText(family) + ';' + EscapeText(given) + ";;;");
  AppendFolded(out, "FN:" + EscapeText(name));
  if (!entry.reading.empty()) {
    const std::string kana = FullWidthKanaFromReading(entry.reading);
    const auto [familyKana, givenKana] = SplitNameParts(kana, kReadingSeparator);
    AppendFolded(out, "X-PHONETIC-LAST-NAME:" + EscapeText(familyKana));
    if (!givenKana.empty()) AppendFolded(out, "X-PHONETIC-FIRST-NAME:" + EscapeText(givenKana));
    AppendFolded(out, "SORT-STRING:" + EscapeText(kana));
  }
  const std::vector<std::string> phones = PhonesOf(entry);
  for (std::size_t i = 0; i < phones.size(); ++i)
    AppendFolded(out, (i == 0 ? "TEL;TYPE=VOICE,PREF:" : "TEL;TYPE=VOICE:") + phones[i]);
  AppendFolded(out, "X-GNO:" + std::to_string(entry.group));
  out += "END:VCARD\r\n";
}

bool NeedsQuotedPrintable(std::string_view value) {
  for (char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '=') return true;
  }
  return false;
}

// A 2.1 content line. A value with bytes beyond printable ASCII goes out in Shift-JIS as
// quoted-printable, every byte of a double-byte character and every byte beyond printable
// ASCII as "=XX", with soft line breaks ("=" CRLF) between characters so that no line
// passes 76 octets.
void AppendLine21(std::string& out, std::string_view head, std::string_view utf8Value) {
  const std::string value = Utf8ToCp932(utf8Value);
  if (!NeedsQuotedPrintable(value)) {
    out.append(head).append(":").append(value).append(kCrLf);
    return;
  }
  std::string line = std::string(head) + ";CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:";
  for (std::size_t i = 0; i < value.size(); ++i) {
    const bool doubleByte = IsLeadByte(static_cast<unsigned char>(value[i])) && i + 1 < value.size();
    std::string unit;
    for (std::size_t k = 0; k < (doubleByte ? 2u : 1u); ++k) {
      const auto byte = static_cast<unsigned char>(value[i + k]);
      char hex[4];
      std::snprintf(hex, sizeof hex, "=%02X", byte);
      const bool literal = !doubleByte && byte > 0x20 && byte < 0x7F && byte != '=';
      unit += literal ? std::string(1, static_cast<char>(byte)) : hex;
    }
    if (doubleByte) ++i;
    if (line.size() + unit.size() > kMaxLineOctets) {
      out.append(line).append("=\r\n");
      line.clear();
    }
    line += unit;
  }
  out.append(line).append(kCrLf);
}

// Built in UTF-8, where an escape can never meet the bytes of a double-byte character,
// and written in code page 932.
void AppendCard21(std::string& out, const PhonebookEntry& entry) {
  const std::string name = Cp932ToUtf8(entry.name);
  const auto [family, given] = SplitNameParts(name, kNameSeparator);
  out += "BEGIN:VCARD\r\nVERSION:2.1\r\n";
  AppendLine21(out, "N", EscapeText(family) + ';' + EscapeText(given) + ";;;");
  AppendLine21(out, "FN", EscapeText(name));
  if (!entry.reading.empty()) {
    const auto [familyKana, givenKana] = SplitNameParts(Cp932ToUtf8(entry.reading), kReadingSeparator);
    AppendLine21(out, "SOUND;X-IRMC-N", EscapeText(familyKana) + ';' + EscapeText(givenKana) + ";;;");
  }
  const std::vector<std::string> phones = PhonesOf(entry);
  for (std::size_t i = 0; i < phones.size(); ++i)
    AppendLine21(out, i == 0 ? "TEL;VOICE;PREF" : "TEL;VOICE", phones[i]);
  AppendLine21(out, "X-GNO", std::to_string(entry.group));
  out += "END:VCARD\r\n";
}

}  // namespace

std::string BuildVcards(const std::vector<PhonebookEntry>& entries, VcardVersion version) {
  std::string out;
  out.reserve(entries.size() * 256);
  for (const PhonebookEntry& entry : entries) {
    if (version == VcardVersion::V30) AppendCard30(out, entry);
    else AppendCard21(out, entry);
  }
  return out;
}
