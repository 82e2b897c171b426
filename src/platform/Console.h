// The standard streams of a program: UTF-8 text with "\n" line ends on every system, so
// that scripts see the same bytes everywhere, and descriptors 0, 1 and 2 that no file the
// program opens can take.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace platform {

// Call first thing in main(). A standard descriptor (0, 1 or 2) that the program was
// started without is opened on the null device, the wrong way round (standard input for
// writing, the outputs for reading), so that using it fails as a closed one would while
// no file the program opens later can take its number and receive its output. On
// Windows: no "\r\n" translation on stdout and stderr, and a console shows the UTF-8 that
// is written to it. False when a missing descriptor could not be made up.
bool PrepareStandardStreams();

// True when standard input is a terminal (a console on Windows): a person can answer there.
bool StandardInputIsTerminal();

// One line typed on standard input, without its line end; bytes past `limit` are dropped.
// False at the end of input, on an error, and once `stopped` returns true (it is asked
// about ten times a second while nothing has been typed).
bool ReadTypedLine(std::string& line, std::size_t limit, const std::function<bool()>& stopped);

}  // namespace platform
