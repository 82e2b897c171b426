// Writing phonebook entries as vCard: 3.0 in UTF-8 for smartphones and address books
// (the reading in full-width katakana as X-PHONETIC-LAST-NAME, X-PHONETIC-FIRST-NAME and
// SORT-STRING), or 2.1 in code page 932 with quoted-printable values for feature phones
// (the reading as SOUND;X-IRMC-N, in the handset's half-width katakana; each value
// labelled CHARSET=SHIFT_JIS, or CHARSET=CP932 when it holds characters beyond Shift_JIS).
// Both carry the group as X-GNO and the slot of a number after an empty one, and keep the
// form of the name's characters (VcardEntry.h), so that reading the file back gives the
// same entries, byte for byte.
#pragma once

#include <string>
#include <vector>

#include "phonebook/PhonebookEntry.h"

enum class VcardVersion { V21, V30 };

// The cards of `entries`, in their order; every line ends with CRLF.
std::string BuildVcards(const std::vector<PhonebookEntry>& entries, VcardVersion version);
