// The fault-injecting SQLite file layer: a VFS that wraps the default one.
#include "FaultyVfs.h"

#include <sqlite3.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace faultvfs {
namespace {

sqlite3_vfs* g_real = nullptr;  // the system's own layer
sqlite3_vfs g_vfs{};
sqlite3_io_methods g_methods{};

std::atomic<int> g_calls{0};
std::atomic<int> g_failAt{0};
std::atomic<bool> g_fired{false};
std::atomic<Fault> g_fault{Fault::FullDiskOnce};
std::atomic<int> g_lastErrno{0};

// Our file: the header SQLite sees, and the real layer's file right after it.
struct FaultyFile {
  sqlite3_file base;
  sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* file) { return reinterpret_cast<FaultyFile*>(file)->real; }

// Counts one changing call; the error code to return when it is to fail, else SQLITE_OK.
// `grows`: the call would make the file longer.
int Injected(int ioErrorCode, bool grows) {
  const int call = ++g_calls;
  const int failAt = g_failAt.load();
  const Fault fault = g_fault.load();
  const bool fails = failAt > 0 && (fault == Fault::FullDisk ? call >= failAt && grows
                                                              : call == failAt);
  if (!fails) return SQLITE_OK;
  g_fired = true;
  if (fault == Fault::IoErrorOnce) {
    g_lastErrno = EIO;
    return ioErrorCode;
  }
  g_lastErrno = ENOSPC;
  return SQLITE_FULL;
}

int Close(sqlite3_file* file) {
  sqlite3_file* real = Real(file);
  const int rc = real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
  file->pMethods = nullptr;
  return rc;
}
int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  return Real(file)->pMethods->xRead(Real(file), buffer, amount, offset);
}
int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
  sqlite3_int64 size = 0;
  Real(file)->pMethods->xFileSize(Real(file), &size);
  if (const int rc = Injected(SQLITE_IOERR_WRITE, offset + amount > size); rc != SQLITE_OK) return rc;
  return Real(file)->pMethods->xWrite(Real(file), buffer, amount, offset);
}
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
  if (const int rc = Injected(SQLITE_IOERR_TRUNCATE, false); rc != SQLITE_OK) return rc;
  return Real(file)->pMethods->xTruncate(Real(file), size);
}
int Sync(sqlite3_file* file, int flags) {
  if (const int rc = Injected(SQLITE_IOERR_FSYNC, false); rc != SQLITE_OK) return rc;
  return Real(file)->pMethods->xSync(Real(file), flags);
}
int FileSize(sqlite3_file* file, sqlite3_int64* size) {
  return Real(file)->pMethods->xFileSize(Real(file), size);
}
int Lock(sqlite3_file* file, int level) { return Real(file)->pMethods->xLock(Real(file), level); }
int Unlock(sqlite3_file* file, int level) { return Real(file)->pMethods->xUnlock(Real(file), level); }
int CheckReservedLock(sqlite3_file* file, int* out) {
  return Real(file)->pMethods->xCheckReservedLock(Real(file), out);
}
int FileControl(sqlite3_file* file, int op, void* arg) {
  return Real(file)->pMethods->xFileControl(Real(file), op, arg);
}
int SectorSize(sqlite3_file* file) { return Real(file)->pMethods->xSectorSize(Real(file)); }
int DeviceCharacteristics(sqlite3_file* file) {
  return Real(file)->pMethods->xDeviceCharacteristics(Real(file));
}

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  auto* ours = reinterpret_cast<FaultyFile*>(file);
  ours->real = reinterpret_cast<sqlite3_file*>(ours + 1);
  ours->real->pMethods = nullptr;
  const int rc = g_real->xOpen(g_real, name, ours->real, flags, outFlags);
  // SQLite calls xClose whenever pMethods is set, even after a failed open.
  file->pMethods = ours->real->pMethods ? &g_methods : nullptr;
  return rc;
}
int Delete(sqlite3_vfs*, const char* name, int syncDir) { return g_real->xDelete(g_real, name, syncDir); }
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
  return g_real->xAccess(g_real, name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return g_real->xFullPathname(g_real, name, size, out);
}
int Randomness(sqlite3_vfs*, int size, char* out) { return g_real->xRandomness(g_real, size, out); }
int Sleep(sqlite3_vfs*, int microseconds) { return g_real->xSleep(g_real, microseconds); }
int CurrentTime(sqlite3_vfs*, double* out) { return g_real->xCurrentTime(g_real, out); }
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return g_real->xCurrentTimeInt64(g_real, out); }
int GetLastError(sqlite3_vfs*, int size, char* out) {
  // The engine asks after a failed call: report the injected errno for an injected one.
  if (g_fired && g_lastErrno != 0) {
    if (size > 0 && out) std::strncpy(out, std::strerror(g_lastErrno), static_cast<std::size_t>(size) - 1);
    return g_lastErrno;
  }
  return g_real->xGetLastError(g_real, size, out);
}

}  // namespace

void Install() {
  if (g_real) return;
  g_real = sqlite3_vfs_find(nullptr);
  g_methods.iVersion = 1;  // no shared memory, no memory mapping: the store uses neither
  g_methods.xClose = Close;
  g_methods.xRead = Read;
  g_methods.xWrite = Write;
  g_methods.xTruncate = Truncate;
  g_methods.xSync = Sync;
  g_methods.xFileSize = FileSize;
  g_methods.xLock = Lock;
  g_methods.xUnlock = Unlock;
  g_methods.xCheckReservedLock = CheckReservedLock;
  g_methods.xFileControl = FileControl;
  g_methods.xSectorSize = SectorSize;
  g_methods.xDeviceCharacteristics = DeviceCharacteristics;

  g_vfs.iVersion = 2;
  g_vfs.szOsFile = static_cast<int>(sizeof(FaultyFile)) + g_real->szOsFile;
  g_vfs.mxPathname = g_real->mxPathname;
  g_vfs.zName = "qvbook-faulty";
  g_vfs.xOpen = Open;
  g_vfs.xDelete = Delete;
  g_vfs.xAccess = Access;
  g_vfs.xFullPathname = FullPathname;
  g_vfs.xRandomness = Randomness;
  g_vfs.xSleep = Sleep;
  g_vfs.xCurrentTime = CurrentTime;
  g_vfs.xGetLastError = GetLastError;
  g_vfs.xCurrentTimeInt64 = CurrentTimeInt64;
  sqlite3_vfs_register(&g_vfs, 1);
}

void Arm(int failAt, Fault fault) {
  g_fault = fault;
  g_fired = false;
  g_lastErrno = 0;
  g_calls = 0;
  g_failAt = failAt;
}

void Disarm() { g_failAt = 0; }

int Calls() { return g_calls; }

bool Fired() { return g_fired; }

bool ParseFault(const char* text, Fault& fault) {
  if (std::strcmp(text, "full-once") == 0) fault = Fault::FullDiskOnce;
  else if (std::strcmp(text, "full") == 0) fault = Fault::FullDisk;
  else if (std::strcmp(text, "eio-once") == 0) fault = Fault::IoErrorOnce;
  else return false;
  return true;
}

}  // namespace faultvfs
