// The vCard writer: one card per entry, lines of at most 75 octets.
#include "files/VcardWriter.h"

#include "files/VcardCp932.h"
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

// Calls `append` with the head and the number of each TEL line: the version's `voice`
// ("TYPE=VOICE" or "VOICE"), `pref` on the first number written, and the slot on a number
// that follows an empty one.
template <typename Append>
void ForEachTel(const PhonebookEntry& entry, std::string_view voice, std::string_view pref, Append append) {
  int written = 0;
  int slot = 0;
  for (const std::string* phone : {&entry.phone1, &entry.phone2, &entry.phone3}) {
    ++slot;
    if (phone->empty()) continue;
    std::string head = "TEL;";
    head.append(voice).append(written == 0 ? pref : "");
    if (++written != slot) head.append(";").append(kPhoneSlotParameter).append("=").append(std::to_string(slot));
    append(head, *phone);
  }
}

void AppendCard30(std::string& out, const PhonebookEntry& entry) {
  const std::string name = Cp932ToUtf8(entry.name);
  const auto [family, given] = SplitNameParts(name, kNameSeparator);
  out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  AppendFolded(out, "N:" + EscapeText(family) + ';' + EscapeText(given) + ";;;");
  AppendFolded(out, "FN:" + EscapeText(name));
  if (HasUnusualForms(entry.name)) AppendFolded(out, std::string(kNameBytesProperty) + ':' + HexOf(entry.name));
  if (!entry.reading.empty()) {
    const std::string kana = FullWidthKanaFromReading(entry.reading);
    const auto [familyKana, givenKana] = SplitNameParts(kana, kReadingSeparator);
    AppendFolded(out, "X-PHONETIC-LAST-NAME:" + EscapeText(familyKana));
    if (!givenKana.empty()) AppendFolded(out, "X-PHONETIC-FIRST-NAME:" + EscapeText(givenKana));
    AppendFolded(out, "SORT-STRING:" + EscapeText(kana));
  }
  ForEachTel(entry, "TYPE=VOICE", ",PREF", [&out](std::string& head, const std::string& phone) {
    AppendFolded(out, head.append(":").append(phone));
  });
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

// A 2.1 content line. A value with bytes beyond printable ASCII goes out in code page 932
// as quoted-printable, labelled with the character set it needs, every byte of a
// double-byte character and every byte beyond printable ASCII as "=XX", with soft line
// breaks ("=" CRLF) between characters so that no line passes 76 octets. Characters of
// two forms take the form `forms` writes them in.
void AppendLine21(std::string& out, std::string_view head, std::string_view utf8Value, std::string_view forms = {}) {
  std::string value = Utf8ToCp932(utf8Value);
  if (!forms.empty()) value = WithFormsOf(value, forms);
  if (!NeedsQuotedPrintable(value)) {
    out.append(head).append(":").append(value).append(kCrLf);
    return;
  }
  std::string line(head);
  line.append(";CHARSET=").append(CharsetLabelOf(value)).append(";ENCODING=QUOTED-PRINTABLE:");
  for (std::size_t i = 0; i < value.size(); ++i) {
    const bool doubleByte = IsLeadByte(static_cast<unsigned char>(value[i])) && i + 1 < value.size();
    std::string unit;
    for (std::size_t k = 0; k < (doubleByte ? 2u : 1u); ++k) {
      const auto byte = static_cast<unsigned char>(value[i + k]);
      const bool literal = !doubleByte && byte > 0x20 && byte < 0x7F && byte != '=';
      unit += literal ? std::string(1, static_cast<char>(byte)) : '=' + HexOf(value.substr(i + k, 1));
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
  const std::string_view forms = HasUnusualForms(entry.name) ? std::string_view(entry.name) : std::string_view();
  out += "BEGIN:VCARD\r\nVERSION:2.1\r\n";
  AppendLine21(out, "N", EscapeText(family) + ';' + EscapeText(given) + ";;;", forms);
  AppendLine21(out, "FN", EscapeText(name), forms);
  if (!entry.reading.empty()) {
    const auto [familyKana, givenKana] = SplitNameParts(Cp932ToUtf8(entry.reading), kReadingSeparator);
    AppendLine21(out, "SOUND;X-IRMC-N", EscapeText(familyKana) + ';' + EscapeText(givenKana) + ";;;");
  }
  ForEachTel(entry, "VOICE", ";PREF",
             [&out](const std::string& head, const std::string& phone) { AppendLine21(out, head, phone); });
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
