// A layer over the C library's file calls for fault tests: it stands in front of the
// library's open, read, write, lseek, stat, fsync, rename and the like (it is loaded
// first, by LD_PRELOAD into a program or linked into a test), counts every call on a file
// inside a watched folder, and makes the chosen one fail with an errno, kills the process
// there, or runs a test's step before it (another program changing the file).
//
// Into another program it is armed by the environment:
//   QVBOOK_SYSCALL_FAULTS_DIR   the watched folder (absolute)
//   QVBOOK_SYSCALL_FAULT        "N:eio", "N:enospc" or "N:kill": what happens at call N
//   QVBOOK_SYSCALL_FAULTS_LOG   a file (outside the folder) that receives one line per
//                               watched call as it happens: "name<TAB>writes<TAB>path"
#pragma once

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace sysfaults {

struct Call {
  std::string name;     // the library function ("read", "openat", ...)
  std::string path;     // the file, or the folder of a call on a descriptor's folder
  bool writes = false;  // the call can run out of space (creating, writing, syncing, renaming)
};

// Counts the calls on files inside `folder` (an absolute path) from now on, none armed.
void Watch(const std::string& folder);
// Stops counting; nothing fails.
void StopWatching();

// From now on, counts from 1: at watched call `n` the call fails with `error` (without
// being made), or the process is killed with SIGKILL, or `step` runs before the call.
void ArmFailure(int n, int error);
void ArmKill(int n);
void ArmStep(int n, std::function<void()> step);
// Nothing more happens at a call; the count goes on.
void Disarm();

// The watched calls since the last Watch or Arm, in order.
std::vector<Call> Calls();
// Whether the armed call was reached.
bool Fired();

// The environment that arms the layer in a child program (see above); empty `fault`: the
// calls are only written to `log`.
inline std::vector<std::string> ChildEnvironment(const std::string& folder, const std::string& fault,
                                                 const std::string& log) {
  return {"QVBOOK_SYSCALL_FAULTS_DIR=" + folder, "QVBOOK_SYSCALL_FAULT=" + fault,
          "QVBOOK_SYSCALL_FAULTS_LOG=" + log};
}

// Reads a log written by a child.
inline std::vector<Call> ReadLog(const std::string& log) {
  std::vector<Call> calls;
  std::ifstream in(log);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    Call call;
    std::string writes;
    std::getline(fields, call.name, '\t');
    std::getline(fields, writes, '\t');
    std::getline(fields, call.path);
    call.writes = writes == "1";
    calls.push_back(call);
  }
  return calls;
}

}  // namespace sysfaults
