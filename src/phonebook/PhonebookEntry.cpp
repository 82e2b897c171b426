// Text forms of an entry: the seven texts it travels as, and the entry built back from them.
#include "phonebook/PhonebookEntry.h"

#include <cstdio>

#include "phonebook/EntryRules.h"

std::array<std::string, FieldCount> EntryToTexts(const PhonebookEntry& entry) {
  char number[16];
  char group[16];
  std::snprintf(number, sizeof number, "%04d", entry.memoryNumber);
  std::snprintf(group, sizeof group, "%d", entry.group);
  return {number, entry.name, entry.reading, entry.phone1, entry.phone2, entry.phone3, group};
}

PhonebookEntry EntryFromFields(const std::vector<std::string>& fields) {
  auto field = [&fields](int position) -> const std::string& {
    static const std::string empty;
    return position < static_cast<int>(fields.size()) ? fields[position] : empty;
  };
  PhonebookEntry entry;
  entry.memoryNumber = DecimalValue(field(FieldMemoryNumber));
  entry.name = field(FieldName);
  entry.reading = field(FieldReading);
  // Phone numbers are stored upper-case whichever path they came by ("p" -> "P").
  entry.phone1 = UpperAscii(field(FieldPhone1));
  entry.phone2 = UpperAscii(field(FieldPhone2));
  entry.phone3 = UpperAscii(field(FieldPhone3));
  const int group = DecimalValue(field(FieldGroup));
  entry.group = (group >= 1 && group <= 9) ? group : 1;
  return entry;
}
