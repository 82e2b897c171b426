// Every file call of every qvbook-cli command that reads or writes a file, failed in turn.
// A run without faults counts the calls the command makes on the files of its folder (the
// C library's open, read, lseek, stat, write, fsync, rename, ...; tests/support/
// SyscallFaults.h, put in front of the library with LD_PRELOAD). Then one run per call
// fails that call with EIO, one more with ENOSPC when the call can run out of space, and
// for the commands that save, one kills the process at that call. Each run must:
//   - succeed, with the same output and the same files as the run without faults; or
//   - fail with exit 66, 73 or 74, the failed call's reason on standard error, nothing on
//     standard output, and every file of the folder (and the handset's phonebook) as it
//     was before; or
//   - when killed, leave each file either as it was or as the run without faults left it
//     (a temporary file of the killed save may stay).
// The runs go four at a time, each in a folder of its own with a handset of its own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include "../comm/HandsetProcess.h"
#include "../files/TestFiles.h"
#include "../support/LongDocument.h"
#include "../support/SyscallFaults.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;  // name -> bytes, of a folder

constexpr int kSlots = 4;
constexpr const char* kPort = "{port}";

Files ReadFolder(const fs::path& folder) {
  Files files;
  for (const auto& entry : fs::directory_iterator(folder))
    files[entry.path().filename().string()] = ReadBytes(entry.path().string());
  return files;
}

void ResetFolder(const fs::path& folder, const Files& files) {
  for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
  for (const auto& [name, bytes] : files) WriteBytes((folder / name).string(), bytes);
}

bool IsTemporaryOfSave(const std::string& name) {
  return name.starts_with(".qvbook-") && name.ends_with(".tmp");
}

struct CliRun {
  int exit = -1;  // 128 + the signal when killed
  std::string out, err;
};

// Runs qvbook-cli in `folder` with `extraEnvironment` added to ours.
CliRun RunCliIn(const fs::path& folder, const std::vector<std::string>& args,
             const std::vector<std::string>& extraEnvironment, const fs::path& streams) {
  const std::string outPath = (streams / "out.txt").string(), errPath = (streams / "err.txt").string();
  // Everything the child needs is made before the fork: it only opens, moves and execs.
  std::vector<std::string> environment(extraEnvironment);
  for (char** variable = environ; *variable; ++variable) {
    if (!std::strncmp(*variable, "LD_PRELOAD=", 11) || !std::strncmp(*variable, "ASAN_OPTIONS=", 13)) continue;
    environment.emplace_back(*variable);
  }
  const char* asan = std::getenv("ASAN_OPTIONS");
  // A sanitizer's runtime would refuse a library loaded in front of it.
  environment.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":verify_asan_link_order=0");
  std::vector<char*> envp, argv{const_cast<char*>(QVBOOK_CLI)};
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  std::vector<std::string> arguments(args);
  for (std::string& arg : arguments) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string directory = folder.string();

  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(directory.c_str()) != 0) _exit(126);
    execve(QVBOOK_CLI, argv.data(), envp.data());
    _exit(127);
  }
  CliRun run;
  int status = 0;
  waitpid(pid, &status, 0);
  run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadBytes(outPath);
  run.err = ReadBytes(errPath);
  return run;
}

struct SweepCase {
  const char* name;
  std::vector<std::string> args;  // file names in the command's folder; kPort: the handset
  bool saves;                     // writes a file: killed at every call too
  bool handset;                   // talks to the handset
};
void PrintTo(const SweepCase& sweep, std::ostream* out) { *out << sweep.name; }

// One place the runs happen: a folder, its streams' files, and a handset when needed.
struct Slot {
  TempFolder base;
  fs::path work;
  std::unique_ptr<HandsetProcess> handset;
  std::string uploaded;  // where the handset saves an upload

  Slot() : work(base.Path() / "work") { fs::create_directory(work); }
};

struct Fault {
  int call;         // 1-based, among the watched calls
  std::string kind; // "eio", "enospc", "kill"
};

class FileFaultSweep : public ::testing::TestWithParam<SweepCase> {
 protected:
  void SetUp() override {
    // The folder every run starts from: documents, an image and a vCard file, all of
    // them different from what the commands write.
    TempFolder scratch;
    const fs::path setup = scratch.Path();
    WriteBytes((setup / "book.csv").string(), LongDocument(1000, "\x8E\x52\x93\x63\x91\xBE\x98\x59"));  // 山田太郎
    WriteBytes((setup / "other.csv").string(), LongDocument(300, "other"));
    WriteBytes((setup / "extra.csv").string(), LongDocument(1000, "extrarow"));
    WriteBytes((setup / "cards.csv").string(), LongDocument(500, "card"));
    for (const auto& [from, to] : {std::pair{"other.csv", "image.bin"}, {"cards.csv", "book.vcf"},
                                   {"cards.csv", "extra.vcf"}, {"other.csv", "handset.bin"}})
      ASSERT_EQ(RunCliIn(setup, {"convert", from, to}, {}, setup).exit, 0) << to;
    for (const char* name : {"book.csv", "other.csv", "image.bin", "book.vcf", "extra.csv", "extra.vcf"})
      m_initial[name] = ReadBytes((setup / name).string());
    m_initial["received.csv"] = "0001,old,,0311112222,,,1\r\n";
    ASSERT_GT(m_initial["book.csv"].size(), 64u * 1024) << "one read would take the whole file";
    m_handsetImage = ReadBytes((setup / "handset.bin").string());
  }

  void Prepare(Slot& slot) {
    ResetFolder(slot.work, m_initial);
    if (!slot.uploaded.empty()) fs::remove(slot.uploaded);
  }

  std::vector<std::string> Arguments(const Slot& slot) const {
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args) {
      if (arg == kPort) arg = slot.handset->Path();
    }
    return args;
  }

  void StartHandset(Slot& slot) {
    const std::string image = (slot.base.Path() / "handset.bin").string();
    WriteBytes(image, m_handsetImage);
    slot.uploaded = (slot.base.Path() / "uploaded.bin").string();
    slot.handset = std::make_unique<HandsetProcess>(
        std::vector<std::string>{"--image", image, "--save", slot.uploaded},
        (slot.base.Path() / "handset.log").string());
    ASSERT_FALSE(slot.handset->Path().empty());
  }

  // Runs the command in `slot` with `fault` (none: counting); writes the calls to `log`.
  CliRun RunWith(Slot& slot, const std::string& fault, const std::string& log = "/dev/null") {
    std::vector<std::string> environment = sysfaults::ChildEnvironment(slot.work.string(), fault, log);
    environment.push_back("LD_PRELOAD=" QVBOOK_SYSCALL_FAULTS_PRELOAD);
    return RunCliIn(slot.work, Arguments(slot), environment, slot.base.Path());
  }

  // What is wrong with a run's outcome; nothing when it is one the test allows.
  std::optional<std::string> Judge(const Slot& slot, const Fault& fault, const CliRun& run) const {
    const Files files = ReadFolder(slot.work);
    const std::string uploaded = ReadBytes(slot.uploaded);
    const sysfaults::Call& call = m_calls[static_cast<std::size_t>(fault.call - 1)];
    if (fault.kind == "kill") {
      if (run.exit != 128 + SIGKILL) return "not killed: exit " + std::to_string(run.exit) + "\n" + run.err;
      for (const auto& [name, bytes] : files) {
        if (IsTemporaryOfSave(name)) continue;
        const auto before = m_initial.find(name), after = m_final.find(name);
        const bool asBefore = before != m_initial.end() && before->second == bytes;
        const bool asAfter = after != m_final.end() && after->second == bytes;
        if (!asBefore && !asAfter) return name + " is neither as it was nor as saved";
      }
      for (const auto& [name, bytes] : m_initial) {
        if (!files.contains(name) && !m_final.contains(name)) return name + " is gone";
      }
      return std::nullopt;
    }
    if (run.exit == 0) {
      if (run.out != m_out) return "succeeded with other output:\n" + run.out;
      if (files != m_final) return "succeeded with other files";
      if (uploaded != m_uploaded) return "succeeded with another upload";
      return std::nullopt;
    }
    if (run.exit != 66 && run.exit != 73 && run.exit != 74)
      return "failed with exit " + std::to_string(run.exit) + "\n" + run.err;
    // A failed sync of the folder comes after the new file took the old one's place: the
    // save is done but may not last a power cut, which the message says instead of a reason.
    const bool afterReplacing = call.name == "fsync" && call.path == m_cleanWork;
    const std::string reason = std::strerror(fault.kind == "enospc" ? ENOSPC : EIO);
    if (!afterReplacing && run.err.find(reason) == std::string::npos)
      return "the message lacks \"" + reason + "\":\n" + run.err;
    if (!run.out.empty()) return "a failed run printed:\n" + run.out;
    if (!uploaded.empty()) return "a failed run reached the handset";
    if (files != m_initial && !(afterReplacing && files == m_final)) {
      std::string changed;
      for (const auto& [name, bytes] : files) {
        if (!m_initial.contains(name) || m_initial.at(name) != bytes) changed += " " + name;
      }
      return "failed, yet changed:" + changed + "\n" + run.err;
    }
    return std::nullopt;
  }

  Files m_initial;
  std::string m_cleanWork;  // the folder of the run without faults, which its calls name
  std::string m_handsetImage;
  std::vector<sysfaults::Call> m_calls;  // of the run without faults
  Files m_final;                         // what that run left
  std::string m_out, m_uploaded;
};

TEST_P(FileFaultSweep, EveryFailedCallEndsWholeOrChangesNothing) {
  const SweepCase& sweep = GetParam();
  const auto started = std::chrono::steady_clock::now();
  std::vector<std::unique_ptr<Slot>> slots;
  for (int i = 0; i < kSlots; ++i) {
    slots.push_back(std::make_unique<Slot>());
    if (sweep.handset) {
      ASSERT_NO_FATAL_FAILURE(StartHandset(*slots.back()));
    }
  }

  // The run without faults: what every run that succeeds must give, and the calls.
  Slot& first = *slots.front();
  Prepare(first);
  const std::string log = (first.base.Path() / "calls.log").string();
  const CliRun clean = RunWith(first, "", log);
  ASSERT_EQ(clean.exit, 0) << clean.err;
  m_calls = sysfaults::ReadLog(log);
  m_cleanWork = first.work.string();
  m_final = ReadFolder(first.work);
  m_out = clean.out;
  m_uploaded = ReadBytes(first.uploaded);
  ASSERT_GT(m_calls.size(), 5u) << "the layer saw no file calls";
  if (sweep.saves) {
    ASSERT_TRUE(m_final != m_initial) << "a save that changes nothing proves nothing";
  }

  std::vector<Fault> faults;
  for (int call = 1; call <= static_cast<int>(m_calls.size()); ++call) {
    faults.push_back({call, "eio"});
    if (m_calls[static_cast<std::size_t>(call - 1)].writes) faults.push_back({call, "enospc"});
    if (sweep.saves) faults.push_back({call, "kill"});
  }

  std::atomic<std::size_t> next{0};
  std::vector<std::vector<std::string>> problems(slots.size());
  std::vector<std::thread> workers;
  for (std::size_t s = 0; s < slots.size(); ++s) {
    workers.emplace_back([&, s] {
      Slot& slot = *slots[s];
      for (std::size_t i; (i = next++) < faults.size();) {
        const Fault& fault = faults[i];
        Prepare(slot);
        const CliRun run = RunWith(slot, std::to_string(fault.call) + ":" + fault.kind);
        if (const auto problem = Judge(slot, fault, run)) {
          const sysfaults::Call& call = m_calls[static_cast<std::size_t>(fault.call - 1)];
          problems[s].push_back(fault.kind + " at call " + std::to_string(fault.call) + " (" + call.name + " " +
                                call.path + "): " + *problem);
        }
      }
    });
  }
  for (std::thread& worker : workers) worker.join();

  std::string report;
  int count = 0;
  for (const auto& list : problems) {
    for (const std::string& problem : list) {
      if (++count <= 10) report += problem + "\n";
    }
  }
  EXPECT_EQ(count, 0) << report;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("%s: %zu file calls, %zu runs with a fault, %.1f s\n", sweep.name, m_calls.size(), faults.size(),
              seconds);
  RecordProperty("runs", static_cast<int>(faults.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FileFaultSweep,
    ::testing::Values(
        SweepCase{"Show", {"show", "book.csv"}, false, false},
        SweepCase{"ConvertInPlace", {"convert", "book.csv", "book.csv"}, true, false},
        SweepCase{"ConvertToImage", {"convert", "book.csv", "image.bin"}, true, false},
        SweepCase{"ConvertImageToVcard", {"convert", "image.bin", "book.vcf"}, true, false},
        SweepCase{"ImportCsvInPlace", {"import", "book.csv", "extra.csv", "book.csv", "--duplicates", "overwrite"},
                  true, false},
        SweepCase{"ImportVcard", {"import", "other.csv", "extra.vcf", "imported.csv"}, true, false},
        SweepCase{"Download", {"download", "--port", kPort, "received.csv"}, true, true},
        SweepCase{"Upload", {"upload", "--no-backup", "--port", kPort, "book.csv"}, false, true}),
    [](const ::testing::TestParamInfo<SweepCase>& info) { return std::string(info.param.name); });

}  // namespace
