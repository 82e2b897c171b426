// The phonebook's clipboard text: a header line ",QV PhoneBook,,<kana row>,<display flag>"
// and one comma-separated row per entry, every line ending in CR LF. Building the copied
// text, cutting pasted text into lines, and the store work of a paste. All text is code
// page 932 bytes; the view converts at the clipboard's edge.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/ImportSummary.h"
#include "phonebook/PhonebookEntry.h"

class CDbPhoneCtrl;

// What the header says about the view the rows were copied from.
struct ClipboardHeader {
  int kanaRow = 11;     // the tab 0..10 of the kana list, 11 for the number list
  int displayFlag = 0;  // 1 kana list, 0 number list
};

// ",QV PhoneBook,,%d,%d\r\n".
std::string ClipboardHeaderLine(const ClipboardHeader& header);

// The header line and one line per row; each row holds the seven column texts of an entry.
std::string BuildClipboardText(const ClipboardHeader& header,
                               const std::vector<std::vector<std::string>>& rows);

// Cuts text into lines: a CR LF pair, a lone CR and a lone LF each end one line (an empty
// line in the middle is kept); a last line without a line end is kept when it is not
// empty. NUL bytes at the very end (the end mark of a clipboard block) are dropped; a NUL
// anywhere else is a byte of its line, which the field rules then treat, so that no row
// is cut in the middle and no later row is lost. No other byte is dropped.
std::vector<std::string> SplitClipboardLines(std::string_view text);

// The header line's verdict: its kana row and display flag when it is this program's
// header, nothing otherwise. The line passes the same field rules as a row, against the
// numbers in use of the phonebook pasted into; the kana row and the display flag must be
// written in decimal digits alone, at most 11 and 1.
std::optional<ClipboardHeader> AcceptClipboardHeader(const std::string& line,
                                                     const UsedFlags& usedFlags);

// What a paste did, for the view to report and to bring the new rows into view.
struct PasteOutcome {
  // Refused (no lines, or the header was refused), StoreFailed (nothing was pasted),
  // LimitReached (the numbers ran out before every row was in) or Finished; `refused`
  // counts the rows the field rules refused (blank lines are no rows).
  ImportSummary summary;
  ClipboardHeader header;                  // the accepted header
  std::vector<std::string> pastedNumbers;  // "%04d" of each entry added, in order of adding
  std::string firstReading;                // the reading of the first entry added
};

// Adds the rows after the header line to `store`: rows whose numbers are free keep them;
// rows whose numbers are in use, and rows without a number, follow under the lowest free
// numbers, in line order; rows the field rules refuse are skipped whole and counted.
PasteOutcome PasteClipboardLines(CDbPhoneCtrl& store, const std::vector<std::string>& lines);
