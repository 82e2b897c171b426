// The store's slots and files: five live stores at most, the file of each slot, stale
// files of earlier runs, counts that die with a killed process, and the private
// environment of the command-line tool.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "StoreTestSupport.h"

namespace {

// Runs `body` in a child process that then waits to be killed; returns once the child
// has written its one-byte report, which lands in `report`.
class PausedChild {
 public:
  template <typename Body>
  PausedChild(Body body, char& report) {
    int ready[2];
    if (pipe(ready) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      close(ready[0]);
      const char byte = body();
      if (write(ready[1], &byte, 1) != 1) _exit(2);
      for (;;) pause();
    }
    close(ready[1]);
    if (m_pid < 0 || read(ready[0], &report, 1) != 1) report = 0;
    close(ready[0]);
  }
  ~PausedChild() { Kill(); }  // the child never outlives the test
  PausedChild(const PausedChild&) = delete;
  PausedChild& operator=(const PausedChild&) = delete;

  void Kill() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = 0;
  }

 private:
  pid_t m_pid = -1;
};

class StoreSlots : public ::testing::Test {
 protected:
  ScratchFolder m_folder;
  std::unique_ptr<StoreEnvironment> m_pEnvironment = StoreEnvironment::CreateShared(m_folder.Path());

  std::unique_ptr<CDbPhoneCtrl> NewStore() { return std::make_unique<CDbPhoneCtrl>(*m_pEnvironment); }
  std::string SlotFile(int slot) const { return m_folder.File("temp" + std::to_string(slot) + ".mdb"); }
  void Touch(const std::string& path) { std::ofstream(path) << "stale"; }
  bool Exists(const std::string& path) const { return platform::FileExists(path); }
  int OthersLive() {
    int others = -1;
    if (!m_pEnvironment->AcquireSlot(others)) return -1;
    m_pEnvironment->ReleaseSlot();
    return others;
  }
};

TEST_F(StoreSlots, ASixthStoreGetsNoSlotAndRefusesWork) {
  std::vector<std::unique_ptr<CDbPhoneCtrl>> stores;
  for (int i = 0; i < 5; ++i) {
    stores.push_back(NewStore());
    ASSERT_TRUE(stores.back()->HasSlot());
    ASSERT_EQ(stores.back()->AddEntry(MakeEntry(1, "A")), StoreResult::Ok);  // makes its file
  }
  auto sixth = NewStore();
  EXPECT_FALSE(sixth->HasSlot());
  EXPECT_EQ(sixth->AddEntry(MakeEntry(4, "A")), StoreResult::NoSlot);
  EXPECT_EQ(sixth->GetFreeMemoryNumber(), 1);
  std::vector<PhonebookEntry> listed(3);
  EXPECT_EQ(sixth->ListEntries(KanaRowAll, SortByNumber, true, listed), StoreResult::NoSlot);
  EXPECT_EQ(listed.size(), 3u);
  sixth.reset();

  // A store that leaves frees its slot for the next one.
  stores.erase(stores.begin() + 2);
  auto next = NewStore();
  EXPECT_TRUE(next->HasSlot());
  EXPECT_EQ(next->DatabasePath(), SlotFile(2));
}

TEST_F(StoreSlots, EachStoreTakesTheFirstSlotWithoutAFile) {
  auto first = NewStore();
  auto twin = NewStore();  // constructed before the first made its file: shares it
  EXPECT_EQ(first->DatabasePath(), SlotFile(0));
  EXPECT_EQ(twin->DatabasePath(), SlotFile(0));
  ASSERT_EQ(first->AddEntry(MakeEntry(1, "A")), StoreResult::Ok);
  auto second = NewStore();
  EXPECT_EQ(second->DatabasePath(), SlotFile(1));
}

TEST_F(StoreSlots, TheFirstStoreClearsStaleFilesOthersDoNot) {
  Touch(SlotFile(0));
  Touch(SlotFile(3));
  auto first = NewStore();
  EXPECT_FALSE(Exists(SlotFile(0)));
  EXPECT_FALSE(Exists(SlotFile(3)));
  EXPECT_EQ(first->DatabasePath(), SlotFile(0));
  ASSERT_EQ(first->AddEntry(MakeEntry(1, "A")), StoreResult::Ok);

  Touch(SlotFile(4));
  auto second = NewStore();
  EXPECT_TRUE(Exists(SlotFile(4)));
  EXPECT_EQ(second->DatabasePath(), SlotFile(1));
}

TEST_F(StoreSlots, AllFiveFilesTakenLeavesNoPath) {
  auto first = NewStore();  // clears stale files before the others appear
  for (int slot = 0; slot < 5; ++slot) Touch(SlotFile(slot));
  auto second = NewStore();
  EXPECT_FALSE(second->HasSlot());
  EXPECT_EQ(second->AddEntry(MakeEntry(1, "A")), StoreResult::NoSlot);
}

TEST_F(StoreSlots, LeavingRemovesOwnFileOrAllWhenLast) {
  auto first = NewStore();
  ASSERT_EQ(first->AddEntry(MakeEntry(1, "A")), StoreResult::Ok);
  auto second = NewStore();
  ASSERT_EQ(second->AddEntry(MakeEntry(1, "A")), StoreResult::Ok);
  Touch(SlotFile(4));

  first.reset();
  EXPECT_FALSE(Exists(SlotFile(0)));
  EXPECT_TRUE(Exists(SlotFile(1)));
  EXPECT_TRUE(Exists(SlotFile(4)));

  second.reset();
  for (int slot = 0; slot < 5; ++slot) EXPECT_FALSE(Exists(SlotFile(slot))) << slot;
}

TEST_F(StoreSlots, DatabaseFilesAreReadableByTheOwnerOnly) {
  auto store = NewStore();
  ASSERT_EQ(store->AddEntry(MakeEntry(1, "A")), StoreResult::Ok);
  struct stat info {};
  ASSERT_EQ(stat(store->DatabasePath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(StoreSlots, EnvironmentsOverOneFolderShareTheFiveSlots) {
  // Two environments over one folder behave as two editor processes would.
  auto otherProcess = StoreEnvironment::CreateShared(m_folder.Path());
  std::vector<std::unique_ptr<CDbPhoneCtrl>> stores;
  for (int i = 0; i < 3; ++i) stores.push_back(NewStore());
  for (int i = 0; i < 2; ++i) stores.push_back(std::make_unique<CDbPhoneCtrl>(*otherProcess));
  for (const auto& store : stores) EXPECT_TRUE(store->HasSlot());
  CDbPhoneCtrl refused(*otherProcess);
  EXPECT_FALSE(refused.HasSlot());
  EXPECT_EQ(OthersLive(), -1);
  stores.pop_back();
  EXPECT_EQ(OthersLive(), 4);
}

TEST_F(StoreSlots, AKilledProcessLeavesNoCountBehind) {
  const std::string folder = m_folder.Path();
  char report = 0;
  PausedChild child(
      [&folder] {
        // Both live until the child is killed.
        auto* environment = StoreEnvironment::CreateShared(folder).release();
        auto* store = new CDbPhoneCtrl(*environment);
        return store->AddEntry(MakeEntry(1, "A")) == StoreResult::Ok ? 'y' : 'n';
      },
      report);
  ASSERT_EQ(report, 'y');
  EXPECT_EQ(OthersLive(), 1);
  EXPECT_TRUE(Exists(SlotFile(0)));

  child.Kill();
  EXPECT_EQ(OthersLive(), 0);

  // The next store is the first live one again and clears what the dead one left.
  auto store = NewStore();
  EXPECT_EQ(store->DatabasePath(), SlotFile(0));
  EXPECT_FALSE(Exists(SlotFile(0)));
}

// The command-line tool's environment, inside a per-user folder of the test's own.
class PrivateEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* previous = std::getenv("XDG_RUNTIME_DIR");
    if (previous) m_strPrevious = previous;
    m_bHadPrevious = previous != nullptr;
    setenv("XDG_RUNTIME_DIR", m_runtime.Path().c_str(), 1);
  }
  void TearDown() override {
    if (m_bHadPrevious)
      setenv("XDG_RUNTIME_DIR", m_strPrevious.c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
  }
  std::string UserFolder() const { return m_runtime.Path() + "/qvbook"; }

  ScratchFolder m_runtime;
  std::string m_strPrevious;
  bool m_bHadPrevious = false;
};

TEST_F(PrivateEnvironment, HasItsOwnFolderAndFiveSlotsAndLeavesNothing) {
  auto editor = StoreEnvironment::CreateShared(UserFolder());
  std::vector<std::unique_ptr<CDbPhoneCtrl>> editorStores;
  for (int i = 0; i < 3; ++i) editorStores.push_back(std::make_unique<CDbPhoneCtrl>(*editor));

  std::string folder;
  {
    auto cli = StoreEnvironment::CreatePrivate();
    folder = cli->Folder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.rfind(UserFolder() + "/", 0), 0u);
    EXPECT_NE(StoreEnvironment::CreatePrivate()->Folder(), folder);
    {
      std::vector<std::unique_ptr<CDbPhoneCtrl>> stores;
      for (int i = 0; i < 5; ++i) {
        stores.push_back(std::make_unique<CDbPhoneCtrl>(*cli));
        EXPECT_TRUE(stores.back()->HasSlot());
        EXPECT_EQ(stores.back()->DatabasePath().rfind(folder + "/", 0), 0u);
        ASSERT_EQ(stores.back()->AddEntry(MakeEntry(1, "A")), StoreResult::Ok);
      }
      EXPECT_FALSE(CDbPhoneCtrl(*cli).HasSlot());
      // An editor store arriving now neither waits for nor deletes the tool's files.
      auto late = std::make_unique<CDbPhoneCtrl>(*editor);
      EXPECT_TRUE(late->HasSlot());
      EXPECT_TRUE(platform::FileExists(stores.front()->DatabasePath()));
    }
    EXPECT_TRUE(platform::FileExists(folder));
  }
  EXPECT_FALSE(platform::FileExists(folder));
}

TEST_F(PrivateEnvironment, FoldersOfKilledRunsAreRemovedByTheNextRun) {
  char report = 0;
  PausedChild child(
      [] {
        // Both live until the child is killed.
        auto* environment = StoreEnvironment::CreatePrivate().release();
        auto* store = new CDbPhoneCtrl(*environment);
        return store->AddEntry(MakeEntry(1, "A")) == StoreResult::Ok ? 'y' : 'n';
      },
      report);
  ASSERT_EQ(report, 'y');
  child.Kill();
  auto live = StoreEnvironment::CreatePrivate();

  std::vector<std::string> folders;
  for (const auto& item : std::filesystem::directory_iterator(UserFolder())) {
    folders.push_back(item.path().string());
    // Old enough to count as abandoned, unless its owner is alive.
    const auto hourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(item.path(), hourAgo);
  }
  ASSERT_EQ(folders.size(), 2u);

  auto next = StoreEnvironment::CreatePrivate();
  EXPECT_TRUE(platform::FileExists(live->Folder()));
  for (const std::string& folder : folders) {
    if (folder != live->Folder()) {
      EXPECT_FALSE(platform::FileExists(folder)) << folder;
    }
  }
}

}  // namespace
