// Runs the built qvbook-cli on real files and captures its exit code and output streams.
// One runner per system: CliRunner_linux.cpp and CliRunner_windows.cpp.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../files/TestFiles.h"

struct CliRun {
  int exit = -1;
  std::string out;
  std::string err;
};

// Runs qvbook-cli with `args`, its streams captured in files inside `folder`;
// `fileSizeLimit` > 0 caps the size of files it may write, where the system can;
// `whileRunning` is called with the child's process id before it is waited for; `input`
// names a terminal to read standard input from (Linux; otherwise there is none).
CliRun RunCli(const std::vector<std::string>& args, const TempFolder& folder, long fileSizeLimit = 0,
              const std::function<void(int)>& whileRunning = {}, const std::string& input = {});

// Whether RunCli can cap the size of the files the program writes.
bool CliRunnerLimitsFileSize();

class CliTest : public ::testing::Test {
 protected:
  CliRun Cli(const std::vector<std::string>& args, long fileSizeLimit = 0) {
    return RunCli(args, m_folder, fileSizeLimit);
  }
  TempFolder m_folder;
};
