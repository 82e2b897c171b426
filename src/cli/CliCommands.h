// The qvbook-cli commands, one file each; main.cpp dispatches to them by name.
#pragma once

#include "cli/CliCommon.h"

int RunShow(const CliArgs& args);
int RunConvert(const CliArgs& args);
int RunImport(const CliArgs& args);
int RunDownload(const CliArgs& args);
int RunUpload(const CliArgs& args);
int RunBackups(const CliArgs& args);
int RunRestore(const CliArgs& args);
int RunPorts(const CliArgs& args);
int RunReadings(const CliArgs& args);
