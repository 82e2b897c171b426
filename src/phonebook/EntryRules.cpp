// Field rules of an entry: character sets, the entry dialog's checks and NormaliseFields.
#include "phonebook/EntryRules.h"
#include "strings/StringIds.h"

#include <algorithm>
#include <climits>

namespace {

// Byte length of the character starting at `pos`: 2 for a lead byte followed by another
// byte, else 1 (a lead byte cut off at the end of the text stands alone).
std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
  const bool lead = IsLeadByte(static_cast<unsigned char>(text[pos]));
  return (lead && pos + 1 < text.size()) ? 2 : 1;
}

// Calls visit(byteOffset, byteLength, charPosition) for each character of `text`.
template <typename Visit>
void ForEachChar(std::string_view text, Visit visit) {
  int position = 0;
  for (std::size_t pos = 0; pos < text.size(); ++position) {
    const std::size_t length = CharLengthAt(text, pos);
    visit(pos, length, position);
    pos += length;
  }
}

bool IsPhoneField(FieldPosition field) {
  return field == FieldPhone1 || field == FieldPhone2 || field == FieldPhone3;
}

struct CharRule {
  CharSet set;
  int textId;
};

// The character rule of a field of the entry dialog; false for fields without one.
bool CharRuleOf(FieldPosition field, CharRule& rule) {
  switch (field) {
    case FieldMemoryNumber: rule = {CharSet::Digit, IDS_NUMBER_NOT_DIGITS}; return true;
    case FieldReading: rule = {CharSet::Reading, IDS_READING_BAD_CHARACTER}; return true;
    case FieldGroup: rule = {CharSet::Digit, IDS_GROUP_NOT_DIGITS}; return true;
    case FieldPhone1:
    case FieldPhone2:
    case FieldPhone3: rule = {CharSet::Phone, 0}; return true;
    default: return false;
  }
}

struct LengthRule {
  std::size_t maxBytes;
  int textId;
};

bool LengthRuleOf(FieldPosition field, LengthRule& rule) {
  switch (field) {
    case FieldName: rule = {kNameMaxBytes, IDS_NAME_TOO_LONG}; return true;
    case FieldReading: rule = {kReadingMaxBytes, IDS_READING_TOO_LONG}; return true;
    case FieldPhone1: rule = {kPhoneMaxBytes, IDS_PHONE1_TOO_LONG}; return true;
    case FieldPhone2: rule = {kPhoneMaxBytes, IDS_PHONE2_TOO_LONG}; return true;
    case FieldPhone3: rule = {kPhoneMaxBytes, IDS_PHONE3_TOO_LONG}; return true;
    default: return false;
  }
}

bool AllDigits(std::string_view text) {
  for (unsigned char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

EntryCheckResult Failure(int textId, int focusField, FocusSelection selection, int selStart = 0,
                         int selEnd = 0) {
  EntryCheckResult result;
  result.ok = false;
  result.textId = textId;
  result.focusField = focusField;
  result.selection = selection;
  result.selStart = selStart;
  result.selEnd = selEnd;
  return result;
}

// The field checks of the dialog as a whole-entry step: a character failure selects the
// offending characters, a length failure the whole text.
bool FieldChecksFail(FieldPosition field, const std::string& text, bool checkLength,
                     EntryCheckResult& failure) {
  const FieldCharsResult chars = CheckFieldChars(field, text);
  if (!chars.ok) {
    failure = Failure(chars.textId, field, FocusSelection::Range, chars.selStart, chars.selEnd);
    return true;
  }
  if (checkLength) {
    const FieldLengthResult length = CheckFieldLength(field, text);
    if (!length.ok) {
      failure = Failure(length.textId, field, FocusSelection::SelectAll);
      return true;
    }
  }
  return false;
}

}  // namespace

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool InCharSet(unsigned char byte, CharSet set) {
  switch (set) {
    case CharSet::Digit:
      return byte >= '0' && byte <= '9';
    case CharSet::Phone:
      return (byte >= '0' && byte <= '9') || byte == '#' || byte == '*' || byte == 'P' ||
             byte == 'p';
    case CharSet::Reading:
      // Printable ASCII except the grave accent, then half-width katakana and punctuation.
      return (byte >= 0x20 && byte <= 0x7E && byte != 0x60) || (byte >= 0xA1 && byte <= 0xDF);
  }
  return false;
}

std::string FilterChars(std::string_view text, CharSet set) {
  std::string kept;
  kept.reserve(text.size());
  ForEachChar(text, [&](std::size_t pos, std::size_t length, int) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (length == 1 && !IsLeadByte(byte) && InCharSet(byte, set)) kept.push_back(text[pos]);
  });
  return kept;
}

bool IsControlChar(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

bool IsBlankControl(unsigned char byte) { return byte == '\t' || byte == '\n' || byte == '\r'; }

std::string CleanControlChars(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    const bool pair = IsLeadByte(byte) && pos + 1 < text.size();
    const auto last = static_cast<unsigned char>(pair ? text[pos + 1] : byte);
    const std::size_t length = pair ? 2 : 1;
    // After a lead byte only a byte below 0x20 is a control character (0x7F is a trail).
    if (pair ? last < 0x20 : IsControlChar(last)) {
      if (IsBlankControl(last)) kept.push_back(' ');
    } else {
      kept.append(text.substr(pos, length));
    }
    pos += length;
  }
  return kept;
}

int CharCount(std::string_view text) {
  int count = 0;
  ForEachChar(text, [&](std::size_t, std::size_t, int) { ++count; });
  return count;
}

std::size_t ByteOffsetOfChar(std::string_view text, int pos) {
  std::size_t offset = text.size();
  bool found = false;
  ForEachChar(text, [&](std::size_t byteOffset, std::size_t, int position) {
    if (!found && position == pos) {
      offset = byteOffset;
      found = true;
    }
  });
  return offset;
}

std::size_t FitBytes(std::string_view text, std::size_t maxBytes) {
  std::size_t fit = 0;
  ForEachChar(text, [&](std::size_t pos, std::size_t length, int) {
    if (fit == pos && pos + length <= maxBytes) fit = pos + length;
  });
  return fit;
}

int DecimalValue(std::string_view text) {
  long long value = 0;
  for (unsigned char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  ForEachChar(text, [&](std::size_t pos, std::size_t length, int) {
    if (length == 1 && upper[pos] >= 'a' && upper[pos] <= 'z') upper[pos] -= 'a' - 'A';
  });
  return upper;
}

FieldCharsResult CheckFieldChars(FieldPosition field, std::string_view text) {
  FieldCharsResult result;
  CharRule rule;
  if (text.empty() || !CharRuleOf(field, rule)) return result;

  bool offends = false;
  ForEachChar(text, [&](std::size_t pos, std::size_t length, int position) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    const bool bad = length == 2 || IsLeadByte(byte) || !InCharSet(byte, rule.set);
    if (!bad) return;
    if (!offends) result.selStart = position;
    result.selEnd = position + 1;
    offends = true;
  });

  if (IsPhoneField(field)) {
    // Phone numbers never fail: offending characters are silently dropped.
    result.filtered = true;
    result.text = FilterChars(text, CharSet::Phone);
    result.caret = std::min(CharCount(text), CharCount(result.text));
    result.selStart = result.selEnd = 0;
    return result;
  }
  if (offends) {
    result.ok = false;
    result.textId = rule.textId;
  }
  return result;
}

FieldLengthResult CheckFieldLength(FieldPosition field, std::string_view text) {
  FieldLengthResult result;
  LengthRule rule;
  if (LengthRuleOf(field, rule) && text.size() > rule.maxBytes) {
    result.ok = false;
    result.textId = rule.textId;
  }
  return result;
}

EntryCheckResult CheckEntry(const std::array<std::string, FieldCount>& texts, int editNumber,
                            const UsedFlags& usedFlags) {
  EntryCheckResult failure;
  const std::string& number = texts[FieldMemoryNumber];
  if (number.empty()) return Failure(IDS_NUMBER_MISSING, FieldMemoryNumber, FocusSelection::Caret);
  if (FieldChecksFail(FieldMemoryNumber, number, false, failure)) return failure;
  const int numberValue = DecimalValue(number);
  if (numberValue == 0 || numberValue > kMaxEntries)
    return Failure(IDS_NUMBER_OUT_OF_RANGE, FieldMemoryNumber, FocusSelection::SelectAll);

  if (FieldChecksFail(FieldName, texts[FieldName], true, failure)) return failure;
  if (FieldChecksFail(FieldReading, texts[FieldReading], true, failure)) return failure;
  for (FieldPosition phone : {FieldPhone1, FieldPhone2, FieldPhone3}) {
    if (FieldChecksFail(phone, texts[phone], true, failure)) return failure;
  }
  if (FieldChecksFail(FieldGroup, texts[FieldGroup], false, failure)) return failure;

  const int groupValue = DecimalValue(texts[FieldGroup]);
  if (groupValue == 0 || groupValue > 9) return Failure(IDS_GROUP_OUT_OF_RANGE, -1, FocusSelection::None);
  if (texts[FieldName].empty()) return Failure(IDS_NAME_MISSING, -1, FocusSelection::None);
  if (texts[FieldReading].empty()) return Failure(IDS_READING_MISSING, -1, FocusSelection::None);
  if (texts[FieldPhone1].empty() && texts[FieldPhone2].empty() && texts[FieldPhone3].empty())
    return Failure(IDS_PHONE_MISSING, -1, FocusSelection::None);

  if (numberValue != editNumber && usedFlags[numberValue - 1] != 0) {
    EntryCheckResult inUse = Failure(IDS_NUMBER_IN_USE, FieldMemoryNumber, FocusSelection::SelectAll);
    inUse.icon = MessageIcon::Warning;
    return inUse;
  }
  return EntryCheckResult{};
}

NormaliseResult NormaliseFields(std::vector<std::string>& fields, const UsedFlags& usedFlags,
                                int* lastIndex) {
  bool duplicate = false;
  int nonEmpty = 0;
  for (std::size_t position = 0; position < fields.size(); ++position) {
    std::string& text = fields[position];
    // Before the count: a name of control characters alone is an empty name.
    if (position == FieldName) text = CleanControlChars(text);
    if (text.empty()) continue;
    ++nonEmpty;
    if (lastIndex) *lastIndex = static_cast<int>(position);

    switch (position) {
      case FieldMemoryNumber: {
        for (unsigned char c : text) {
          if (IsLeadByte(c)) return NormaliseResult::NumberDoubleByte;
        }
        if (!AllDigits(text)) return NormaliseResult::NumberNotDigits;
        const int value = DecimalValue(text);
        if (value < 1 || value > kMaxEntries) return NormaliseResult::NumberOutOfRange;
        if (usedFlags[value - 1] != 0) duplicate = true;
        break;
      }
      case FieldName:
        text.resize(FitBytes(text, kNameMaxBytes));
        break;
      case FieldReading:
        text = FilterChars(text, CharSet::Reading);
        text.resize(std::min(text.size(), kReadingMaxBytes));
        break;
      case FieldPhone1:
      case FieldPhone2:
      case FieldPhone3:
        text = FilterChars(text, CharSet::Phone);
        text.resize(std::min(text.size(), kPhoneMaxBytes));
        text = UpperAscii(text);
        break;
      case FieldGroup: {
        text = FilterChars(text, CharSet::Digit);
        const int value = DecimalValue(text);
        if (value < 1 || value > 9) text.assign(1, '1');  // not = "1": GCC 12 warns falsely
        break;
      }
      default:
        break;
    }
  }
  if (nonEmpty < 2) return NormaliseResult::TooFewFields;
  return duplicate ? NormaliseResult::NumberInUse : NormaliseResult::Ok;
}
