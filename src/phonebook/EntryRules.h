// Field rules of an entry: the interactive checks of the entry dialog and the character
// sets and filters that NormaliseFields (CDbPhoneCtrl) also uses.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "phonebook/PhonebookEntry.h"
#include "strings/StringTable.h"

// True for a byte that starts a double-byte character of code page 932.
bool IsLeadByte(unsigned char byte);

enum class CharSet { Digit, Phone, Reading };

bool InCharSet(unsigned char byte, CharSet set);

// `text` without its double-byte characters and without single-byte characters outside `set`.
std::string FilterChars(std::string_view text, CharSet set);

// Control characters never enter an entry's name (the only field whose own rule takes any
// character): a tab, line feed or carriage return becomes a half-width space, and every
// other byte below 0x20 and a 0x7F standing alone is dropped. A byte below 0x20 can never
// be the second byte of a double-byte character, so a lead byte before one is a broken
// character and goes with it (a space for the three blanks); 0x7F after a lead byte is
// kept with it, as every other undefined pair is.
std::string CleanControlChars(std::string_view text);
// Whether a single-byte character is a control character, and whether it is one of the
// three blanks that become a space.
bool IsControlChar(unsigned char byte);
bool IsBlankControl(unsigned char byte);

// Number of characters of a code page 932 text (a double-byte character counts 1).
int CharCount(std::string_view text);

// Byte offset of character position `pos` (clamped to the end of the text).
std::size_t ByteOffsetOfChar(std::string_view text, int pos);

// Byte length of the longest start of `text` that fits in `maxBytes` without splitting a
// double-byte character.
std::size_t FitBytes(std::string_view text, std::size_t maxBytes);

// Value of the decimal digits at the start of `text` (0 when there are none); values too
// large for an int saturate at INT_MAX instead of wrapping.
int DecimalValue(std::string_view text);

// `text` with the single-byte letters a..z upper-cased; double-byte characters untouched.
std::string UpperAscii(std::string_view text);

struct FieldCharsResult {
  bool ok = true;
  int textId = 0;           // message text on failure
  int selStart = 0;         // selection in character positions on failure
  int selEnd = 0;
  bool filtered = false;    // phone fields: `text` holds the filtered text
  std::string text;         // phone fields: the text with offending characters removed
  int caret = 0;            // phone fields: caret position to restore, in characters
};

FieldCharsResult CheckFieldChars(FieldPosition field, std::string_view text);

struct FieldLengthResult {
  bool ok = true;
  int textId = 0;
};

FieldLengthResult CheckFieldLength(FieldPosition field, std::string_view text);

// Where the entry dialog puts the focus after a failed whole-entry check.
enum class FocusSelection {
  None,       // the focus does not move
  Caret,      // focus only
  SelectAll,  // focus with the whole text selected
  Range       // focus with [selStart, selEnd) selected (character positions)
};

struct EntryCheckResult {
  bool ok = true;
  int textId = 0;                         // message text; the caption is IDS_CHECK_CAPTION
  MessageIcon icon = MessageIcon::Error;  // Warning only for IDS_NUMBER_IN_USE
  int focusField = -1;                    // FieldPosition taking the focus, -1 for none
  FocusSelection selection = FocusSelection::None;
  int selStart = 0;
  int selEnd = 0;
};

// The whole-entry check run when the entry dialog is confirmed. `editNumber` is the
// memory number being edited, 0 for a new entry.
EntryCheckResult CheckEntry(const std::array<std::string, FieldCount>& texts, int editNumber,
                            const UsedFlags& usedFlags);

// Results of NormaliseFields; the numbers are the codes a load reports for a row.
enum class [[nodiscard]] NormaliseResult {
  Ok = 0,
  NumberDoubleByte = 4,
  NumberNotDigits = 5,
  NumberOutOfRange = 7,
  TooFewFields = 8,
  NumberInUse = 9
};

// Checks the memory number of a row of texts and fits the other fields in place.
// `lastIndex`, when given, receives the position of the last non-empty field examined.
NormaliseResult NormaliseFields(std::vector<std::string>& fields, const UsedFlags& usedFlags,
                                int* lastIndex = nullptr);
