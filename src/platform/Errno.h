// <cerrno> with the codes this program tests for on every system, including those that a
// system lacks, mapped there to the code that system reports for the same condition.
#pragma once

#include <cerrno>

#ifndef EDQUOT
#define EDQUOT ENOSPC  // Windows reports a full disk quota as a full disk
#endif

#ifndef ESTALE
#define ESTALE 151  // a code of its own where the runtime has none (Windows: above its last)
#endif
