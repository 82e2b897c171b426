// Real processes for the fault tests: a forked child that runs a piece of the program and
// reports back as text, a program started with resource limits (file size, memory), and a way to take away
// root's power to write anywhere, so that permission faults happen even when tests run as
// root (as they do in CI containers).
#pragma once

#include <fcntl.h>
#include <linux/capability.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

// Drops the capabilities that let root ignore file permissions, for this process and
// everything it starts. False when they could not be dropped.
inline bool DropPermissionOverride() {
  if (geteuid() != 0) return true;
  for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
    if (prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) != 0) return false;
  }
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
    const unsigned mask = ~(1u << (capability % 32));
    data[capability / 32].effective &= mask;
    data[capability / 32].permitted &= mask;
    data[capability / 32].inheritable &= mask;
  }
  return syscall(SYS_capset, &header, data) == 0;
}

// Runs `body` in a forked child and returns the text it reports; "" when the child died
// without reporting (a crash shows up as an empty report).
inline std::string RunInChild(const std::function<std::string()>& body) {
  int report[2];
  if (pipe(report) != 0) return "";
  const pid_t pid = fork();
  if (pid == 0) {
    close(report[0]);
    const std::string text = body();
    const ssize_t written = write(report[1], text.data(), text.size());
    _exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  close(report[1]);
  std::string text;
  char buffer[256];
  ssize_t n;
  while ((n = read(report[0], buffer, sizeof buffer)) > 0) text.append(buffer, n);
  close(report[0]);
  int status = 0;
  if (pid > 0) waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "";
}

// Runs `body` in a forked child without root's permission override and returns the number
// it gives; INT_MIN when the override could not be dropped or the child died. Lets a test
// of a permission fault run the same as root and as an ordinary user.
inline int RunWithoutPermissionOverride(const std::function<int()>& body) {
  const std::string report = RunInChild([&]() -> std::string {
    if (!DropPermissionOverride()) return "";
    return std::to_string(body());
  });
  return report.empty() ? INT_MIN : std::stoi(report);
}

struct ProgramLimits {
  long long maxFileBytes = -1;      // RLIMIT_FSIZE, -1 for none
  long long maxAddressBytes = -1;   // RLIMIT_AS, -1 for none
  bool withoutOverride = false;     // run without root's permission override
};

struct ProgramResult {
  int exitCode = -1;   // -1 when killed by a signal
  int signal = 0;
  std::string errorText;  // what it wrote to stderr
};

// Runs a program to its end with `limits`, stdout discarded and stderr captured.
inline ProgramResult RunProgram(const std::vector<std::string>& argv, ProgramLimits limits = {}) {
  ProgramResult result;
  int errors[2];
  if (pipe(errors) != 0) return result;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(errors[1], STDERR_FILENO);
    close(errors[0]);
    close(errors[1]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    if (limits.maxFileBytes >= 0) {
      const rlimit limit{static_cast<rlim_t>(limits.maxFileBytes),
                         static_cast<rlim_t>(limits.maxFileBytes)};
      setrlimit(RLIMIT_FSIZE, &limit);
      signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    }
    if (limits.maxAddressBytes >= 0) {  // an allocation past the limit then fails
      const rlimit limit{static_cast<rlim_t>(limits.maxAddressBytes), static_cast<rlim_t>(limits.maxAddressBytes)};
      setrlimit(RLIMIT_AS, &limit);
    }
    if (limits.withoutOverride && !DropPermissionOverride()) _exit(125);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(errors[1]);
  char buffer[512];
  ssize_t n;
  while ((n = read(errors[0], buffer, sizeof buffer)) > 0) result.errorText.append(buffer, n);
  close(errors[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}
