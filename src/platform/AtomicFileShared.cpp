// The temporary files of saves: their names, and the table of those in progress.
#include "platform/AtomicFileShared.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

constexpr std::string_view kPrefix = ".qvbook-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kMaxIdDigits = 10;  // 4294967295

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f'); }

// Takes a run of 1..maxLength characters passing `test` off the front of `text`.
template <typename Test>
std::optional<std::string_view> TakeRun(std::string_view& text, std::size_t maxLength, Test test) {
  std::size_t length = 0;
  while (length < text.size() && test(text[length])) ++length;
  if (length == 0 || length > maxLength) return std::nullopt;
  const std::string_view run = text.substr(0, length);
  text.remove_prefix(length);
  return run;
}

bool TakeText(std::string_view& text, std::string_view expected) {
  if (!text.starts_with(expected)) return false;
  text.remove_prefix(expected.size());
  return true;
}

std::optional<std::uint32_t> TakeProcessId(std::string_view& text) {
  const auto digits = TakeRun(text, kMaxIdDigits, IsDigit);
  if (!digits) return std::nullopt;
  unsigned long long value = 0;
  for (char c : *digits) value = value * 10 + static_cast<unsigned>(c - '0');
  if (value == 0 || value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

// ".qvbook-<pid>-<8 hex>.tmp"
std::optional<std::uint32_t> WriterOfCurrentForm(std::string_view name) {
  if (!TakeText(name, kPrefix)) return std::nullopt;
  const auto writer = TakeProcessId(name);
  if (!writer || !TakeText(name, "-")) return std::nullopt;
  const auto unique = TakeRun(name, 8, IsHexDigit);
  if (!unique || unique->size() != 8 || name != kSuffix) return std::nullopt;
  return writer;
}

// "." + target + ".tmp<pid>.<n>.<hex>"
std::optional<std::uint32_t> WriterOfEarlierForm(std::string_view name, std::string_view target) {
  if (target.empty() || !TakeText(name, ".") || !TakeText(name, target) || !TakeText(name, kSuffix))
    return std::nullopt;
  const auto writer = TakeProcessId(name);
  if (!writer || !TakeText(name, ".") || !TakeRun(name, kMaxIdDigits, IsDigit) ||
      !TakeText(name, "."))
    return std::nullopt;
  // The last part: hex digits, or decimal ones on Windows.
  if (!TakeRun(name, 8, IsHexDigit) || !name.empty()) return std::nullopt;
  return writer;
}

// --- The table of temporary files in progress ---
// An interrupt handler may touch only what needs no allocation and no lock: fixed slots
// with lock-free flags. Process-wide by nature, as signal handlers are.

constexpr int kSlotCount = 8;           // saves at the same time
constexpr std::size_t kPathBytes = 4096;

struct Slot {
  std::atomic<bool> claimed{false};  // a save owns the slot
  std::atomic<bool> armed{false};    // `path` names that save's created temporary file
  char path[kPathBytes];
};
static_assert(std::atomic<bool>::is_always_lock_free);

Slot g_slots[kSlotCount];
std::mutex g_cleanupMutex;  // guards the count below and the installing of the cleanup
int g_nRegistered = 0;      // saves holding a slot

}  // namespace

PendingTemporary::PendingTemporary() {
  for (int i = 0; i < kSlotCount && m_nSlot < 0; ++i) {
    bool expected = false;
    if (g_slots[i].claimed.compare_exchange_strong(expected, true)) m_nSlot = i;
  }
  if (m_nSlot < 0) return;
  std::lock_guard<std::mutex> lock(g_cleanupMutex);
  if (g_nRegistered++ == 0) InstallInterruptCleanup();
}

PendingTemporary::~PendingTemporary() {
  if (m_nSlot < 0) return;
  g_slots[m_nSlot].armed.store(false, std::memory_order_release);
  {
    std::lock_guard<std::mutex> lock(g_cleanupMutex);
    if (--g_nRegistered == 0) RemoveInterruptCleanup();
  }
  g_slots[m_nSlot].claimed.store(false, std::memory_order_release);
}

void PendingTemporary::Arm(const std::string& path) {
  if (m_nSlot < 0 || path.size() >= kPathBytes) return;
  std::memcpy(g_slots[m_nSlot].path, path.c_str(), path.size() + 1);
  g_slots[m_nSlot].armed.store(true, std::memory_order_release);
}

void ForEachPendingTemporary(void (*remove)(const char* path)) {
  for (Slot& slot : g_slots) {
    if (slot.armed.load(std::memory_order_acquire)) remove(slot.path);
  }
}

std::string TemporaryFileName(std::uint32_t processId, std::uint32_t unique) {
  char name[40];
  std::snprintf(name, sizeof name, ".qvbook-%lu-%08lx.tmp", static_cast<unsigned long>(processId),
                static_cast<unsigned long>(unique));
  return name;
}

std::optional<std::uint32_t> WriterOfTemporary(std::string_view name, std::string_view targetName) {
  if (auto writer = WriterOfCurrentForm(name)) return writer;
  return WriterOfEarlierForm(name, targetName);
}

}  // namespace platform
