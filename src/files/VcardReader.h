// Reading the cards of a vCard file (versions 2.1, 3.0 and 4.0) into properties with
// their parameters and decoded values: a byte-order mark, CRLF, LF or CR line ends,
// folded lines, quoted-printable values with soft line breaks, declared character sets.
// A file that is not a whole set of cards is refused with the line where it went wrong;
// its cards are read one at a time, and none is to be used before the whole file was read.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The most cards a file may hold: ten times what a phonebook takes, so that any address
// book can be offered while what is kept of each card stays bounded.
inline constexpr std::size_t kVcardMaxCards = 10000;

// The most items one card may hold: each property is one, and each of its parameters one
// more (counted as the ';' and ',' before its value). An address book's card holds a few
// dozen; the bound keeps the one card held in memory at a time to a few megabytes,
// however many tiny lines a file packs into a card.
inline constexpr std::size_t kVcardMaxCardItems = 10000;

struct VcardParameter {
  std::string name;   // upper case; a 2.1 parameter without a name ("CELL") is a TYPE
  std::string value;  // one value each: "TYPE=CELL,PREF" gives two parameters
};

struct VcardProperty {
  std::string name;                        // upper case, without a group ("item1.TEL" -> "TEL")
  std::vector<VcardParameter> parameters;
  std::string value;                       // UTF-8, unfolded and decoded; escapes kept
  bool lossless = true;                    // every byte of the value decoded
  std::string cp932;                       // the bytes, when read as code page 932 and some
                                           // character is not in its usual form (VcardCp932.h)
  int line = 0;                            // where the property starts in the file

  // The first value of parameter `name`, empty when absent (names are upper case).
  std::string_view Parameter(std::string_view name) const;
  // True when a TYPE value equals `type` ignoring case.
  bool HasType(std::string_view type) const;
};

struct Vcard {
  int line = 0;  // of its BEGIN:VCARD
  std::vector<VcardProperty> properties;

  // The first property named `name` (upper case), or null.
  const VcardProperty* Find(std::string_view name) const;
};

struct VcardParseResult {
  enum class Status {
    Ok,
    NotVcard,    // binary data, or text that does not begin with a card
    MissingEnd,  // the card that begins at `line` has no END:VCARD (a cut file)
    Malformed,   // `line` is neither a property nor part of one, or lies outside a card
    TooManyCards, // more than kVcardMaxCards; `line` is where the first card too many begins
    TooManyItems  // the card that begins at `line` holds more than kVcardMaxCardItems
  };
  using enum Status;
  Status status = Ok;
  int line = 0;
  std::vector<Vcard> cards;  // ParseVcards: every card of the file when Ok; nothing otherwise
};

// Reads the cards of a file one at a time: each is handed to `onCard` when its END:VCARD
// is read and then dropped, so that no more than one card is held. When the result is not
// Ok, the cards handed over before are to be dropped too.
VcardParseResult ReadVcards(std::string_view bytes, const std::function<void(const Vcard&)>& onCard);

// Every card of the file at once (the cards are in the result).
VcardParseResult ParseVcards(std::string_view bytes);
