// Put into a program with LD_PRELOAD by the fault tests, so that a real qvbook-cli runs
// with the faulty file layer. QVBOOK_FAULT="N:KIND" arms it (KIND as faultvfs::ParseFault
// reads it); at exit the number of changing calls is written to the file named by
// QVBOOK_FAULT_CALLS, so that a sweep knows when N has passed the program's last call.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FaultyVfs.h"

namespace {

__attribute__((constructor)) void StartFaults() {
  const char* plan = std::getenv("QVBOOK_FAULT");
  if (!plan) return;
  faultvfs::Install();
  const char* colon = std::strchr(plan, ':');
  faultvfs::Fault fault = faultvfs::Fault::FullDiskOnce;
  if (colon && !faultvfs::ParseFault(colon + 1, fault)) std::abort();
  faultvfs::Arm(std::atoi(plan), fault);
}

__attribute__((destructor)) void ReportCalls() {
  const char* path = std::getenv("QVBOOK_FAULT_CALLS");
  if (!path) return;
  if (std::FILE* file = std::fopen(path, "w")) {
    std::fprintf(file, "%d %d\n", faultvfs::Calls(), faultvfs::Fired() ? 1 : 0);
    std::fclose(file);
  }
}

}  // namespace
