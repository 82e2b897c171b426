// Running qvbook-cli.exe on Windows: CreateProcessA with the standard handles set to files.
// Windows has no per-process file-size limit, so none is set.
#include "CliRunner.h"

#include "platform/WindowsApi.h"

namespace {

// One argument as the C runtime's command-line parser reads it back.
std::string Quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& args, const TempFolder& folder, long,
              const std::function<void(int)>& whileRunning, const std::string&) {
  const std::string outPath = folder / "stdout.txt";
  const std::string errPath = folder / "stderr.txt";
  CliRun run;
  {
    platform::ScopedHandle out(InheritableFile(outPath));
    platform::ScopedHandle err(InheritableFile(errPath));
    std::string commandLine = Quoted(QVBOOK_CLI);
    for (const std::string& arg : args) commandLine += " " + Quoted(arg);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = out.Get();
    startup.hStdError = err.Get();
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
      return run;
    }
    platform::ScopedHandle thread(process.hThread);
    platform::ScopedHandle child(process.hProcess);
    if (whileRunning) whileRunning(static_cast<int>(process.dwProcessId));
    WaitForSingleObject(child.Get(), INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(child.Get(), &code);
    run.exit = static_cast<int>(code);
  }
  run.out = ReadBytes(outPath);
  run.err = ReadBytes(errPath);
  return run;
}

bool CliRunnerLimitsFileSize() { return false; }
