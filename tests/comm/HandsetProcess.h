// Runs qvbook-handset with the given options for the length of a test and hands over the
// device path it prints first. The emulator ends with the test (or with the test process).
#pragma once

#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class HandsetProcess {
 public:
  // `logPath`: where the emulator's account of the conversation goes (else our stderr).
  explicit HandsetProcess(std::vector<std::string> options, const std::string& logPath = {}) {
    int out[2];
    if (pipe(out) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      dup2(out[1], STDOUT_FILENO);
      if (!logPath.empty()) {
        int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(log, STDERR_FILENO);
      }
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv;
      std::string program = QVBOOK_HANDSET_BIN;
      argv.push_back(program.data());
      for (auto& option : options) argv.push_back(option.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') m_path.push_back(c);
    close(out[0]);
  }
  ~HandsetProcess() { Stop(); }
  HandsetProcess(const HandsetProcess&) = delete;
  HandsetProcess& operator=(const HandsetProcess&) = delete;

  const std::string& Path() const { return m_path; }

  // Ends the emulator; its exit status.
  int Stop() {
    if (m_pid <= 0) return m_status;
    kill(m_pid, SIGTERM);
    waitpid(m_pid, &m_status, 0);
    m_pid = -1;
    return m_status;
  }

 private:
  pid_t m_pid = -1;
  int m_status = -1;
  std::string m_path;  // the device, empty when the emulator did not start
};
