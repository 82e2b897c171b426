// The store's slots and files: five live stores at most, the file of each slot, stale
// files of earlier runs, counts that die with a killed process, and the private
// environment of the command-line tool.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "StoreTestSupport.h"

namespace {

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
    ASSERT_EQ(stores.back()->AddEntry(MakeEntry(1, "A")), StoreOk);  // makes its file
  }
  auto sixth = NewStore();
  EXPECT_FALSE(sixth->HasSlot());
  EXPECT_EQ(sixth->AddEntry(MakeEntry(4, "A")), StoreNoSlot);
  EXPECT_EQ(sixth->GetFreeMemoryNumber(), 1);
  MemoryListControl list;
  list.rows.resize(3);
  EXPECT_EQ(sixth->FillList(list, KanaRowAll, SortByNumber, true), StoreNoSlot);
  EXPECT_EQ(list.rows.size(), 3u);
  EXPECT_EQ(list.m_nRedrawSwitches, 0);
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
  ASSERT_EQ(first->AddEntry(MakeEntry(1, "A")), StoreOk);
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
  ASSERT_EQ(first->AddEntry(MakeEntry(1, "A")), StoreOk);

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
  EXPECT_EQ(second->AddEntry(MakeEntry(1, "A")), StoreNoSlot);
}

TEST_F(StoreSlots, LeavingRemovesOwnFileOrAllWhenLast) {
  auto first = NewStore();
  ASSERT_EQ(first->AddEntry(MakeEntry(1, "A")), StoreOk);
  auto second = NewStore();
  ASSERT_EQ(second->AddEntry(MakeEntry(1, "A")), StoreOk);
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
  ASSERT_EQ(store->AddEntry(MakeEntry(1, "A")), StoreOk);
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
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(ready[0]);
    auto environment = StoreEnvironment::CreateShared(m_folder.Path());
    CDbPhoneCtrl store(*environment);
    const char ok = store.AddEntry(MakeEntry(1, "A")) == StoreOk ? 'y' : 'n';
    if (write(ready[1], &ok, 1) != 1) _exit(2);
    for (;;) pause();
  }
  close(ready[1]);
  // Whatever fails below, the child never outlives the test.
  struct KillOnExit {
    pid_t pid;
    ~KillOnExit() {
      if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
      }
    }
  } guard{child};
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  close(ready[0]);
  EXPECT_EQ(ok, 'y');
  EXPECT_EQ(OthersLive(), 1);
  EXPECT_TRUE(Exists(SlotFile(0)));

  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  guard.pid = 0;
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
        ASSERT_EQ(stores.back()->AddEntry(MakeEntry(1, "A")), StoreOk);
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

}  // namespace
