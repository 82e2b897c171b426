// The one record every part of the program passes around, and its text forms.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kMaxEntries = 1000;      // memory numbers 1..1000
inline constexpr std::size_t kNameMaxBytes = 16;
inline constexpr std::size_t kReadingMaxBytes = 16;
inline constexpr std::size_t kPhoneMaxBytes = 24;

// Positions of the fields wherever an entry travels as a row of texts.
enum FieldPosition : int {
  FieldMemoryNumber = 0,
  FieldName = 1,
  FieldReading = 2,
  FieldPhone1 = 3,
  FieldPhone2 = 4,
  FieldPhone3 = 5,
  FieldGroup = 6,
  FieldCount = 7
};

// All texts are code page 932 bytes.
struct PhonebookEntry {
  int32_t memoryNumber = 0;  // 1..1000, unique within a phonebook
  std::string name;          // at most 16 bytes
  std::string reading;       // at most 16 bytes of the reading set
  std::string phone1;        // at most 24 bytes of "0123456789#*P"
  std::string phone2;
  std::string phone3;
  int32_t group = 1;         // 1..9

  bool operator==(const PhonebookEntry&) const = default;
};

// Flag of memory number n at index n - 1; nonzero while an entry with that number exists.
using UsedFlags = std::array<int32_t, kMaxEntries>;

// The seven texts of an entry: "%04d", name, reading, phones 1..3, "%d".
std::array<std::string, FieldCount> EntryToTexts(const PhonebookEntry& entry);

// An entry from a row of texts already passed through NormaliseFields: memory number
// from field 0 (decimal), texts from fields 1..5 (empty when the row is shorter), group
// from field 6 (1 when missing, empty or outside 1..9).
PhonebookEntry EntryFromFields(const std::vector<std::string>& fields);
