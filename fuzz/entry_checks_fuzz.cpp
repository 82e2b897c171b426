// Fuzzes the entry rules: the entry dialog's field and whole-entry checks and
// NormaliseFields. Input: two bytes of the number being edited, one byte that picks the
// numbers in use, then the field texts separated by FF (a byte no code page 932 text holds).
#include "FuzzSupport.h"

#include <array>

#include "phonebook/EntryRules.h"

namespace {

constexpr char kSeparator = '\xFF';

std::vector<std::string> SplitFields(std::string_view bytes) {
  std::vector<std::string> fields(1);
  for (char c : bytes) {
    if (c == kSeparator) {
      fields.emplace_back();
    } else {
      fields.back().push_back(c);
    }
  }
  return fields;
}

bool CharRuleField(int field, CharSet& set) {
  switch (field) {
    case FieldMemoryNumber:
    case FieldGroup: set = CharSet::Digit; return true;
    case FieldReading: set = CharSet::Reading; return true;
    default: return false;
  }
}

std::size_t LengthLimit(int field) {
  switch (field) {
    case FieldName: return kNameMaxBytes;
    case FieldReading: return kReadingMaxBytes;
    case FieldPhone1:
    case FieldPhone2:
    case FieldPhone3: return kPhoneMaxBytes;
    default: return SIZE_MAX;
  }
}

bool IsPhone(int field) { return field >= FieldPhone1 && field <= FieldPhone3; }

void CheckFieldRules(int field, const std::string& text) {
  const FieldCharsResult chars = CheckFieldChars(static_cast<FieldPosition>(field), text);
  CharSet set;
  if (IsPhone(field) && !text.empty()) {
    FUZZ_CHECK(chars.ok && chars.filtered && chars.text == FilterChars(text, CharSet::Phone));
    FUZZ_CHECK(chars.caret >= 0 && chars.caret <= CharCount(chars.text));
  } else if (CharRuleField(field, set) && !text.empty()) {
    FUZZ_CHECK(chars.ok == (FilterChars(text, set) == text));
    if (!chars.ok) {
      FUZZ_CHECK(0 <= chars.selStart && chars.selStart < chars.selEnd &&
                 chars.selEnd <= CharCount(text));
    }
  } else {
    FUZZ_CHECK(chars.ok);
  }
  const FieldLengthResult length = CheckFieldLength(static_cast<FieldPosition>(field), text);
  FUZZ_CHECK(length.ok == (text.size() <= LengthLimit(field)));
}

void CheckWholeEntry(const std::array<std::string, FieldCount>& texts, int editNumber,
                     const UsedFlags& used) {
  const EntryCheckResult result = CheckEntry(texts, editNumber, used);
  if (!result.ok) {
    FUZZ_CHECK(result.textId != 0 && result.focusField >= -1 && result.focusField < FieldCount);
    if (result.selection == FocusSelection::Range) {
      FUZZ_CHECK(result.focusField >= 0 && result.selStart < result.selEnd &&
                 result.selEnd <= CharCount(texts[result.focusField]));
    }
    return;
  }
  const std::string& number = texts[FieldMemoryNumber];
  FUZZ_CHECK(!number.empty() && FilterChars(number, CharSet::Digit) == number);
  const int value = DecimalValue(number);
  FUZZ_CHECK(value >= 1 && value <= kMaxEntries);
  FUZZ_CHECK(value == editNumber || used[value - 1] == 0);
  FUZZ_CHECK(!texts[FieldName].empty() && texts[FieldName].size() <= kNameMaxBytes);
  FUZZ_CHECK(!texts[FieldReading].empty() &&
             FilterChars(texts[FieldReading], CharSet::Reading) == texts[FieldReading] &&
             texts[FieldReading].size() <= kReadingMaxBytes);
  FUZZ_CHECK(!(texts[FieldPhone1].empty() && texts[FieldPhone2].empty() &&
               texts[FieldPhone3].empty()));
  const int group = DecimalValue(texts[FieldGroup]);
  FUZZ_CHECK(group >= 1 && group <= 9 && FilterChars(texts[FieldGroup], CharSet::Digit) == texts[FieldGroup]);
}

void CheckNormalise(const std::vector<std::string>& original, const UsedFlags& used) {
  std::vector<std::string> fields = original;
  int lastIndex = -1;
  const NormaliseResult code = NormaliseFields(fields, used, &lastIndex);
  fuzz::CheckNormaliseCode(code);
  FUZZ_CHECK(fields.size() == original.size());
  FUZZ_CHECK(lastIndex >= -1 && lastIndex < static_cast<int>(fields.size()));
  if (code == NormaliseResult::NumberDoubleByte || code == NormaliseResult::NumberNotDigits ||
      code == NormaliseResult::NumberOutOfRange) {
    // Refused at the memory number: nothing after it was touched.
    FUZZ_CHECK(!fields[0].empty() && fields == original);
    return;
  }
  if (code == NormaliseResult::TooFewFields) return;
  const std::string& number = fields[FieldMemoryNumber];
  if (!number.empty()) {
    const int value = DecimalValue(number);
    FUZZ_CHECK(value >= 1 && value <= kMaxEntries);
    FUZZ_CHECK((code == NormaliseResult::NumberInUse) == (used[value - 1] != 0));
  }
  if (fields.size() > FieldName) {
    // The name is the original without its control characters, cut to fit.
    const std::string& name = fields[FieldName];
    const std::string cleaned = CleanControlChars(original[FieldName]);
    FUZZ_CHECK(cleaned.compare(0, name.size(), name) == 0);
    FUZZ_CHECK(name == cleaned || name.size() == 15 || name.size() == 16);
  }
  // A second pass changes nothing more (it may count fewer fields: filtering can empty one).
  std::vector<std::string> again = fields;
  const NormaliseResult secondCode = NormaliseFields(again, used);
  FUZZ_CHECK(again == fields && (secondCode == code || secondCode == NormaliseResult::TooFewFields));
  if (!number.empty()) {
    PhonebookEntry entry = EntryFromFields(fields);
    fuzz::CheckTextEntries({entry});
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const int editNumber = ((data[0] << 8) | data[1]) % (kMaxEntries + 2);
  UsedFlags used{};
  for (int n = 1; n <= kMaxEntries; ++n) used[n - 1] = n % (data[2] + 1) == 0;

  const std::vector<std::string> fields = SplitFields(fuzz::Bytes(data + 3, size - 3));
  std::array<std::string, FieldCount> texts;
  for (int field = 0; field < FieldCount && field < static_cast<int>(fields.size()); ++field) {
    texts[field] = fields[field];
    CheckFieldRules(field, texts[field]);
  }
  CheckWholeEntry(texts, editNumber, used);
  CheckNormalise(fields, used);
  return 0;
}
