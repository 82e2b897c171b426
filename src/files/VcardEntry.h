// What a card holds for a phonebook entry: the name from N (family name, full-width
// space, given name) or FN, the reading from the phonetic fields in half-width katakana,
// up to three phone numbers in their slots, the group from X-GNO.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/VcardReader.h"

// Between the family and the given part of a name (UTF-8 full-width space) and of a
// reading (half-width space).
inline constexpr std::string_view kNameSeparator = "\xE3\x80\x80";
inline constexpr std::string_view kReadingSeparator = " ";

// A TEL parameter naming the entry's slot of the number (1..3). The export writes it on a
// number that follows an empty slot ("TEL;TYPE=VOICE;X-QVBOOK-SLOT=3:..." for phone 3
// when phone 2 is empty), and the import puts such a number back into its slot.
inline constexpr std::string_view kPhoneSlotParameter = "X-QVBOOK-SLOT";

// A property holding the name's code page 932 bytes in hex, written by the 3.0 export
// when the name has a character that UTF-8 cannot tell from its other form (VcardCp932.h),
// so that the import gives it back in the same form.
inline constexpr std::string_view kNameBytesProperty = "X-QVBOOK-NAME-CP932";

// "family<separator>given", or the one part that is not empty.
std::string JoinNameParts(std::string_view family, std::string_view given, std::string_view separator);
// The inverse for export: the text split at its first separator when that leaves two
// parts that are not empty, otherwise the whole text as the family part.
std::pair<std::string, std::string> SplitNameParts(std::string_view text, std::string_view separator);

struct VcardEntryTexts {
  // FieldCount texts in code page 932, before the entry rules fit them: the memory number
  // empty, name, reading, phones 1..3, group. A number whose TEL names its slot takes that
  // slot while it is free; the others fill the free slots from the first, the preferred
  // ones first, otherwise in file order. Of each value, the first kilobyte is looked at.
  std::vector<std::string> fields;
  bool lostCharacters = false;  // characters the code page or the entry's sets lack were dropped
  bool extraPhones = false;     // the card had more than three phone numbers
};

VcardEntryTexts EntryTextsOfCard(const Vcard& card);

// A phone number as the handset dials it: a "tel:" URI's scheme and parameters gone,
// full-width digits made half-width, separators dropped, "+81" (and a trunk "(0)" after
// it) turned into a leading 0, then only the characters of the phone set. `lossless` is
// set false when anything but a separator or the country code was dropped.
std::string PhoneOfValue(const VcardProperty& tel, bool& lossless);
