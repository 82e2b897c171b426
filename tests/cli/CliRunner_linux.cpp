// Running qvbook-cli on Linux: fork and exec, standard input from /dev/null (never the
// terminal the tests were started from) or a given terminal, the outputs redirected to
// files, a file-size limit set with setrlimit in the child.
#include "CliRunner.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

CliRun RunCli(const std::vector<std::string>& args, const TempFolder& folder, long fileSizeLimit,
              const std::function<void(int)>& whileRunning, const std::string& input) {
  std::string outPath = folder / "stdout.txt";
  std::string errPath = folder / "stderr.txt";
  pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open(input.empty() ? "/dev/null" : input.c_str(), O_RDWR | O_NOCTTY);
    ::dup2(in, 0);
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

bool CliRunnerLimitsFileSize() { return true; }
