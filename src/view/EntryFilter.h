// What the search field finds: an entry whose name, reading or one of whose phone numbers
// contains the typed text. The reading is matched after the typed text went through the
// entry dialog's conversion (hiragana, katakana of either width -> half-width katakana,
// code page 932); phone numbers are matched by their characters alone, so that "03-1234"
// finds 031234; names and letters match whatever their case and width.
#pragma once

#include <QString>

#include <string>

#include "phonebook/PhonebookEntry.h"

class CEntryFilter {
 public:
  CEntryFilter() = default;  // finds every entry
  explicit CEntryFilter(const QString& text);

  // False for an empty (or blank) text: every entry is found.
  bool IsActive() const { return !m_strText.isEmpty(); }
  // The text as typed, without surrounding spaces.
  const QString& Text() const { return m_strText; }

  bool Matches(const PhonebookEntry& entry) const;

 private:
  QString m_strText;
  QString m_strNameKey;       // the text folded as names are compared
  std::string m_strReading;   // the text as a reading, lower case; empty when it cannot be one
  std::string m_strDigits;    // the phone characters of the text; empty when it has others
};
