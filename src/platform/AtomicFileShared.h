// What the atomic saves of every system share about their temporary files: a short name of
// one fixed form, so that a target of any legal name can be saved and a later save can
// tell the leftovers of an interrupted one from every other file; and the table of the
// temporary files of saves in progress, which an interrupt removes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// ".qvbook-<process id>-<8 hex digits>.tmp", at most 36 bytes whatever the target is named.
std::string TemporaryFileName(std::uint32_t processId, std::uint32_t unique);

// The id of the process that wrote `name` when `name` is a save's temporary file: the form
// above, or the form of earlier versions, "." + target name + ".tmp<pid>.<n>.<digits>", for
// the target named `targetName`. Nothing for any other name.
std::optional<std::uint32_t> WriterOfTemporary(std::string_view name, std::string_view targetName);

// On a file system where a running save cannot mark its file as running (no locks), a
// leftover is removed only after standing untouched this long, so that a save still running
// where its process id means nothing here (another machine sharing the folder, another
// process namespace) is never taken for one whose process has gone.
inline constexpr long kStaleTemporarySeconds = 10 * 60;

// One save's temporary file, registered from its creation to the end of the save. While
// any save is registered, the system's interrupt cleanup is installed. The table has a
// few fixed slots; a save beyond them goes unregistered (the next save's sweep of
// leftovers is its safety net).
class PendingTemporary {
 public:
  PendingTemporary();
  ~PendingTemporary();
  PendingTemporary(const PendingTemporary&) = delete;
  PendingTemporary& operator=(const PendingTemporary&) = delete;

  // From now on an interrupt that ends the process removes the file at `path`.
  void Arm(const std::string& path);

 private:
  int m_nSlot = -1;  // -1: no slot was free
};

// Calls `remove` with the path of every registered temporary file. Takes no lock and
// allocates nothing, so a signal handler may call it.
void ForEachPendingTemporary(void (*remove)(const char* path));

// Defined by each system's backend: start and stop removing the pending temporary files
// when an interrupt (Ctrl+C, a termination request) ends the process.
void InstallInterruptCleanup();
void RemoveInterruptCleanup();

}  // namespace platform
