// The two kinds of store environment: the editor's, whose five slots are shared by every
// editor process of the user through lock files, and a private one for a single process
// (the command-line tool), whose folder and count belong to it alone.
#include "phonebook/StoreEnvironment.h"

#include <mutex>
#include <vector>

#include "platform/PrivateFolder.h"
#include "platform/SlotLock.h"

namespace {

class SharedStoreEnvironment final : public StoreEnvironment {
 public:
  explicit SharedStoreEnvironment(const std::string& folder)
      : m_trouble{folder, platform::EnsurePrivateFolder(folder)},
        m_strFolder(m_trouble.check ? folder : std::string()),
        m_locks(m_strFolder, kSlotCount) {}

  const std::string& Folder() const override { return m_strFolder; }
  const FolderTrouble& Trouble() const override { return m_trouble; }

  bool AcquireSlot(int& othersLive) override {
    std::lock_guard<std::mutex> guard(m_mutex);
    const int slot = m_locks.Acquire();
    if (slot < 0) return false;
    m_heldSlots.push_back(slot);
    othersLive = m_locks.CountHeld() - 1;
    return true;
  }

  int ReleaseSlot() override {
    std::lock_guard<std::mutex> guard(m_mutex);
    // Slots only count live stores, so any slot this process holds is as good as another.
    if (!m_heldSlots.empty()) {
      m_locks.Release(m_heldSlots.back());
      m_heldSlots.pop_back();
    }
    return m_locks.CountHeld();
  }

 private:
  FolderTrouble m_trouble;       // what is wrong with the folder, if anything
  std::string m_strFolder;       // empty when the folder is unusable: no store gets a slot
  platform::SlotLocks m_locks;
  std::vector<int> m_heldSlots;  // slots taken by stores of this process
  std::mutex m_mutex;
};

constexpr const char* kPrivatePrefix = "private-";
// A private folder younger than this may still be waiting for its owner's lock.
constexpr int kAbandonedAfterSeconds = 60;

// Private folders of processes that died without removing them: nobody holds their lock.
void RemoveAbandonedPrivateFolders(const std::string& parent) {
  for (const std::string& folder :
       platform::QuietSubfolders(parent, kPrivatePrefix, kAbandonedAfterSeconds)) {
    if (platform::SlotLocks(folder, 1).CountHeld() == 0) platform::RemoveFolder(folder);
  }
}

class PrivateStoreEnvironment final : public StoreEnvironment {
 public:
  PrivateStoreEnvironment() {
    const std::string parent = platform::UserPrivateFolderPath();
    m_trouble = {parent, platform::EnsurePrivateFolder(parent)};
    if (!m_trouble.check) return;
    RemoveAbandonedPrivateFolders(parent);
    // The folder is held by a lock of its own for this environment's life, so that a
    // later run can tell it from one left by a process that died.
    const std::string folder = platform::MakeUniqueFolder(parent, kPrivatePrefix);
    if (!folder.empty()) {
      m_pOwner = std::make_unique<platform::SlotLocks>(folder, 1);
      if (m_pOwner->Acquire() == 0) {
        m_strFolder = folder;
        return;
      }
      m_pOwner.reset();
      platform::RemoveFolder(folder);
    }
    // The parent passed its checks, yet nothing could be made or locked inside it.
    m_trouble.check.problem = platform::FolderProblem::NotWritable;
  }
  ~PrivateStoreEnvironment() override {
    platform::RemoveFolder(m_strFolder);
    m_pOwner.reset();
  }

  const std::string& Folder() const override { return m_strFolder; }
  const FolderTrouble& Trouble() const override { return m_trouble; }

  bool AcquireSlot(int& othersLive) override {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_strFolder.empty() || m_nLive >= kSlotCount) return false;
    othersLive = m_nLive++;
    return true;
  }

  int ReleaseSlot() override {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_nLive > 0) --m_nLive;
    return m_nLive;
  }

 private:
  FolderTrouble m_trouble;                       // what kept the folder from being made
  std::string m_strFolder;                       // empty when no folder could be made
  std::unique_ptr<platform::SlotLocks> m_pOwner;  // holds the folder's own lock
  int m_nLive = 0;
  std::mutex m_mutex;
};

}  // namespace

StoreEnvironment& StoreEnvironment::Editor() {
  static SharedStoreEnvironment editor(platform::UserPrivateFolderPath());
  return editor;
}

std::unique_ptr<StoreEnvironment> StoreEnvironment::CreatePrivate() {
  return std::make_unique<PrivateStoreEnvironment>();
}

std::unique_ptr<StoreEnvironment> StoreEnvironment::CreateShared(const std::string& folder) {
  return std::make_unique<SharedStoreEnvironment>(folder);
}
