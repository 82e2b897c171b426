// The standard streams of a command-line program: UTF-8 text with "\n" line ends on every
// system, so that scripts see the same bytes everywhere.
#pragma once

namespace platform {

// Call first thing in main(). On Windows: no "\r\n" translation on stdout and stderr, and
// a console shows the UTF-8 that is written to it. Nothing to do on Linux.
void PrepareStandardStreams();

}  // namespace platform
