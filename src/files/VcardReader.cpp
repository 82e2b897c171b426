// The vCard reader: physical lines, logical lines (folding and quoted-printable soft
// breaks joined), then cards of properties.
#include "files/VcardReader.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "files/VcardCp932.h"
#include "files/VcardText.h"

namespace {

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// A UTF-16 file (it starts with its byte-order mark) as UTF-8; empty for any other file.
std::string Utf8OfUtf16File(std::string_view bytes) {
  const bool littleEndian = bytes.starts_with("\xFF\xFE");
  if (!littleEndian && !bytes.starts_with("\xFE\xFF")) return {};
  std::u16string wide;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    wide += static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second);
  }
  return Utf16ToUtf8(wide);
}

// Physical lines, ended by CRLF, LF or CR.
class LineSource {
 public:
  explicit LineSource(std::string_view text) : m_text(text) {}

  bool AtEnd() const { return m_pos >= m_text.size(); }
  int NextLineNumber() const { return m_line + 1; }
  std::string_view Peek() const { return m_text.substr(m_pos, EndOfLine() - m_pos); }
  std::string_view Next() {
    ++m_line;
    const std::size_t end = EndOfLine();
    const std::string_view line = m_text.substr(m_pos, end - m_pos);
    m_pos = end;
    if (m_pos < m_text.size() && m_text[m_pos] == '\r') ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == '\n') ++m_pos;
    return line;
  }

 private:
  std::size_t EndOfLine() const { return std::min(m_text.find_first_of("\r\n", m_pos), m_text.size()); }

  std::string_view m_text;
  std::size_t m_pos = 0;
  int m_line = 0;
};

// Position of the first `c` outside double quotes, or npos.
std::size_t FindUnquoted(std::string_view text, char c, std::size_t from = 0) {
  bool quoted = false;
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    else if (text[i] == c && !quoted) return i;
  }
  return std::string_view::npos;
}

// One logical line: a line with its folded continuations (a leading space or tab is
// dropped) and, in a quoted-printable value, the lines after each soft break ("=" at the
// end of the line, which is dropped). Whether the value is quoted-printable is looked up
// once, when the line's ':' has been seen, so that a long run of joined lines costs no
// more than its length.
std::string NextLogicalLine(LineSource& lines) {
  std::string logical(lines.Next());
  std::size_t scanned = 0;          // bytes searched for the ':' so far
  bool quoted = false;              // inside double quotes at `scanned`
  std::optional<bool> printable;    // known once the ':' is found
  const auto quotedPrintable = [&] {
    for (; !printable && scanned < logical.size(); ++scanned) {
      if (logical[scanned] == '"') quoted = !quoted;
      if (logical[scanned] != ':' || quoted) continue;
      printable = UpperCase(std::string_view(logical).substr(0, scanned)).find("QUOTED-PRINTABLE") != std::string::npos;
    }
    return printable.value_or(false);
  };
  while (!lines.AtEnd()) {
    if (logical.ends_with('=') && quotedPrintable()) {
      logical.pop_back();
      logical += lines.Next();
    } else if (const std::string_view next = lines.Peek(); next.starts_with(' ') || next.starts_with('\t')) {
      logical += lines.Next().substr(1);
    } else {
      break;
    }
  }
  return logical;
}

std::vector<std::string_view> SplitUnquoted(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t from = 0;;) {
    const std::size_t at = FindUnquoted(text, separator, from);
    parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
    if (at == std::string_view::npos) return parts;
    from = at + 1;
  }
}

std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
  return value;
}

bool IsEncodingName(std::string_view word) {
  for (std::string_view encoding : {"QUOTED-PRINTABLE", "BASE64", "B", "8BIT", "7BIT"})
    if (EqualsIgnoringCase(word, encoding)) return true;
  return false;
}

void AddParameters(std::string_view text, std::vector<VcardParameter>& parameters) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    // vCard 2.1 writes a parameter's value alone: "TEL;CELL;PREF", "N;QUOTED-PRINTABLE".
    parameters.push_back({IsEncodingName(text) ? "ENCODING" : "TYPE", std::string(text)});
    return;
  }
  // A list of values, quoted or not: TYPE=CELL,PREF; 4.0's TYPE="voice,cell" and
  // SORT-AS="タナカ,ケンジ" hold their list inside the quotes.
  const std::string name = UpperCase(text.substr(0, equals));
  for (std::string_view quoted : SplitUnquoted(text.substr(equals + 1), ','))
    for (std::string_view value : SplitUnquoted(Unquoted(quoted), ','))
      parameters.push_back({name, std::string(value)});
}

bool IsBase64(const VcardProperty& property) {
  const std::string_view encoding = property.Parameter("ENCODING");
  return EqualsIgnoringCase(encoding, "BASE64") || EqualsIgnoringCase(encoding, "B");
}

// The items a property counts against its card's bound: itself, and one for each ';' or
// ',' of its name and parameters, which is at least the number of its parameters. Counted
// before any of them is held.
std::size_t ItemsOfHead(std::string_view head) {
  const auto separator = [](char c) { return c == ';' || c == ','; };
  return 1 + static_cast<std::size_t>(std::count_if(head.begin(), head.end(), separator));
}

// The property of a logical line whose first unquoted ':' is at `colon`. A value without
// a CHARSET is read in `defaultCharset`.
VcardProperty ParseProperty(std::string_view line, std::size_t colon, int lineNumber,
                            std::string_view defaultCharset) {
  std::vector<std::string_view> head = SplitUnquoted(line.substr(0, colon), ';');
  VcardProperty property;
  property.line = lineNumber;
  std::string_view name = head.front();
  if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);
  property.name = UpperCase(name);
  for (std::size_t i = 1; i < head.size(); ++i) AddParameters(head[i], property.parameters);

  std::string_view bytes = line.substr(colon + 1);
  std::string decoded;
  if (EqualsIgnoringCase(property.Parameter("ENCODING"), "QUOTED-PRINTABLE")) {
    decoded = DecodeQuotedPrintable(bytes);
    bytes = decoded;
  } else if (IsBase64(property)) {
    bytes = {};
  }
  // Binary values (photos, sounds, keys) carry nothing an entry holds and are left out.
  std::string_view charset = property.Parameter("CHARSET");
  if (charset.empty()) charset = defaultCharset;
  bool readAsCp932 = false;
  property.value = DecodeCharset(bytes, charset, property.lossless, readAsCp932);
  if (readAsCp932 && HasUnusualForms(bytes)) property.cp932 = bytes;
  return property;
}

bool IsLine(std::string_view line, std::string_view expected) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return EqualsIgnoringCase(line, expected);
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// Reads the cards of the text, one logical line at a time.
class CardParser {
 public:
  // A file that is not UTF-8 throughout is a feature phone's Shift-JIS: its values without
  // a CHARSET are read so even where a few bytes would pass for UTF-8 ("ﾃｽ" is C3 BD).
  CardParser(std::string_view text, const std::function<void(const Vcard&)>& onCard)
      : m_lines(text), m_defaultCharset(IsValidUtf8(text) ? "" : "SHIFT_JIS"), m_onCard(onCard) {}

  VcardParseResult Run() {
    while (!m_lines.AtEnd()) {
      const int number = m_lines.NextLineNumber();
      const std::string line = NextLogicalLine(m_lines);
      if (IsBlank(line)) {
        m_bInBase64 = false;
        continue;
      }
      if (!m_card) {
        if (!IsLine(line, "BEGIN:VCARD")) {
          return Fail(m_nCards == 0 ? VcardParseResult::NotVcard : VcardParseResult::Malformed, number);
        }
        if (m_nCards == kVcardMaxCards) return Fail(VcardParseResult::TooManyCards, number);
        m_card.emplace();
        m_card->line = number;
        m_nItemsLeft = kVcardMaxCardItems;
      } else if (IsLine(line, "END:VCARD")) {
        ++m_nCards;
        m_onCard(*m_card);
        m_card.reset();
      } else if (IsLine(line, "BEGIN:VCARD")) {
        // A card begun before this one ended: the earlier one was cut off.
        if (!AfterEmptyAgent() || !SkipEmbeddedCard()) return Fail(VcardParseResult::MissingEnd, m_card->line);
      } else if (const std::size_t colon = FindUnquoted(line, ':'); colon != std::string::npos) {
        const std::size_t items = ItemsOfHead(std::string_view(line).substr(0, colon));
        if (items > m_nItemsLeft) return Fail(VcardParseResult::TooManyItems, m_card->line);
        m_nItemsLeft -= items;
        m_card->properties.push_back(ParseProperty(line, colon, number, m_defaultCharset));
        m_bInBase64 = IsBase64(m_card->properties.back());
      } else if (!m_bInBase64) {
        // vCard 2.1 lets base64 data run on over unindented lines up to a blank line.
        return Fail(VcardParseResult::Malformed, number);
      }
    }
    if (m_card) return Fail(VcardParseResult::MissingEnd, m_card->line);
    if (m_nCards == 0) return Fail(VcardParseResult::NotVcard, 1);
    return {};
  }

 private:
  VcardParseResult Fail(VcardParseResult::Status status, int line) {
    VcardParseResult failed;
    failed.status = status;
    failed.line = line;
    return failed;
  }

  // A 2.1 AGENT property may hold a whole card on the lines after it.
  bool AfterEmptyAgent() const {
    return !m_card->properties.empty() && m_card->properties.back().name == "AGENT" &&
           m_card->properties.back().value.empty();
  }

  // Skips an embedded card up to its END:VCARD; false when the file ends first.
  bool SkipEmbeddedCard() {
    for (int depth = 1; depth > 0;) {
      if (m_lines.AtEnd()) return false;
      const std::string line = NextLogicalLine(m_lines);
      if (IsLine(line, "BEGIN:VCARD")) ++depth;
      else if (IsLine(line, "END:VCARD")) --depth;
    }
    return true;
  }

  LineSource m_lines;
  std::string_view m_defaultCharset;
  const std::function<void(const Vcard&)>& m_onCard;
  std::size_t m_nCards = 0;         // handed over so far
  std::optional<Vcard> m_card;      // the card being read
  std::size_t m_nItemsLeft = 0;     // of the card's bound
  bool m_bInBase64 = false;         // the last property was base64 data
};

}  // namespace

std::string_view VcardProperty::Parameter(std::string_view name) const {
  for (const VcardParameter& parameter : parameters)
    if (parameter.name == name) return parameter.value;
  return {};
}

bool VcardProperty::HasType(std::string_view type) const {
  return std::any_of(parameters.begin(), parameters.end(), [type](const VcardParameter& parameter) {
    return parameter.name == "TYPE" && EqualsIgnoringCase(parameter.value, type);
  });
}

const VcardProperty* Vcard::Find(std::string_view name) const {
  for (const VcardProperty& property : properties)
    if (property.name == name) return &property;
  return nullptr;
}

VcardParseResult ReadVcards(std::string_view bytes, const std::function<void(const Vcard&)>& onCard) {
  // The text is read where it lies; only a UTF-16 file is turned into a UTF-8 copy.
  const std::string converted = Utf8OfUtf16File(bytes);
  std::string_view text = converted.empty() ? bytes : std::string_view(converted);
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  if (text.find('\0') != std::string_view::npos) {
    VcardParseResult binary;
    binary.status = VcardParseResult::NotVcard;
    binary.line = 1;
    return binary;
  }
  return CardParser(text, onCard).Run();
}

VcardParseResult ParseVcards(std::string_view bytes) {
  std::vector<Vcard> cards;
  VcardParseResult result = ReadVcards(bytes, [&cards](const Vcard& card) { cards.push_back(card); });
  if (result.status == VcardParseResult::Ok) result.cards = std::move(cards);
  return result;
}
