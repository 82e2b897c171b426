// An SQLite file layer for fault tests: it stands in front of the system's own, passes
// everything through, counts the calls that change a file (write, sync, truncate) and
// fails the chosen ones the way a full disk (ENOSPC) or a failing disk (EIO) does.
// Installed as the default, so a store opened afterwards goes through it unchanged.
#pragma once

namespace faultvfs {

enum class Fault {
  FullDiskOnce,  // the Nth call fails with ENOSPC, later ones pass (space came back)
  FullDisk,      // from the Nth call on the disk is full: every write that would make a
                 // file longer fails with ENOSPC, as on a real full disk; overwriting and
                 // shrinking still work
  IoErrorOnce    // the Nth call fails with EIO
};

// Registers the layer as SQLite's default (once per process). Harmless to repeat.
void Install();

// From now on, counts changing calls from 1 and fails call `failAt` (0: none) as `fault`.
void Arm(int failAt, Fault fault);
// No more failures; the count goes on.
void Disarm();

// Changing calls counted since the last Arm.
int Calls();
// Whether a call failed since the last Arm.
bool Fired();

// The fault named by its text ("full-once", "full", "eio-once"); false when unknown.
bool ParseFault(const char* text, Fault& fault);

}  // namespace faultvfs
