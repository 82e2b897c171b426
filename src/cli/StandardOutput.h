// Standard output of qvbook-cli, written with write(2) through a buffer of its own, so that
// a failed write (a full disk, a closed or broken stream) is noticed with its reason
// rather than lost inside the C library's stream.
#pragma once

// Routes std::cout through the buffer; call once at the start of main.
void RouteStandardOutput();

// Writes what is still buffered; 0 when everything written to std::cout reached standard
// output, otherwise the errno of the first write that failed (what followed it was dropped).
int FinishStandardOutput();
