// Runs the built qvbook-cli on real files and captures its exit code and output streams.
#pragma once

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "../files/TestFiles.h"

struct CliRun {
  int exit = -1;
  std::string out;
  std::string err;
};

// Runs qvbook-cli with `args`; `fileSizeLimit` > 0 caps the size of files it may write;
// `whileRunning` is called with the child's pid before it is waited for.
inline CliRun RunCli(const std::vector<std::string>& args, const TempFolder& folder,
                     long fileSizeLimit = 0, const std::function<void(pid_t)>& whileRunning = {}) {
  std::string outPath = folder / "stdout.txt";
  std::string errPath = folder / "stderr.txt";
  pid_t pid = ::fork();
  if (pid == 0) {
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (fileSizeLimit > 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit {static_cast<rlim_t>(fileSizeLimit), RLIM_INFINITY};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> argv{const_cast<char*>(QVBOOK_CLI)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(QVBOOK_CLI, argv.data());
    ::_exit(127);
  }
  if (whileRunning) whileRunning(pid);
  CliRun run;
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadBytes(outPath);
  run.err = ReadBytes(errPath);
  return run;
}

class CliTest : public ::testing::Test {
 protected:
  CliRun Cli(const std::vector<std::string>& args, long fileSizeLimit = 0) {
    return RunCli(args, m_folder, fileSizeLimit);
  }
  TempFolder m_folder;
};
