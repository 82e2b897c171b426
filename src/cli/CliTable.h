// The UTF-8 tables the commands print: rows of code page 932 texts in columns.
//
// A control character in a text (a byte below 20, 7F, or 80, which some systems convert to
// the C1 control U+0080) is shown as "\xHH", its code in two upper-case hex digits, so that
// a name can never send a terminal an escape sequence (ESC ] 0;... BEL, ESC [ 2 J). Every
// other character, the backslash included, is shown as it is.
#pragma once

#include <string>
#include <vector>

using TableRow = std::vector<std::string>;  // code page 932 texts, one per column

// Prints the rows to standard output in columns two spaces apart, without trailing blanks.
void PrintTable(const std::vector<TableRow>& rows);
