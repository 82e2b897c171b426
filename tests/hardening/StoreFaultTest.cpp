// The store's database file taken away or spoiled under a live store: every operation
// must end with a result code (never a crash), a failed change must not mark a number in
// use, and a file that vanished must not come back silently as an empty phonebook (a save
// would then replace the user's file with it).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "../phonebook/StoreTestSupport.h"
#include "../support/ChildProcess.h"

namespace {

class StoreFault : public StoreTest {
 protected:
  void SetUp() override {
    AddAll({MakeEntry(1, "\xB1"), MakeEntry(2, "\xB6"), MakeEntry(3, "\xBB")});
    ASSERT_TRUE(platform::FileExists(Store().DatabasePath()));
  }
  std::string Path() { return Store().DatabasePath(); }

  // Runs every kind of operation and lists the results: add, find, fill, delete-by-row,
  // delete, delete-all, build-image, then whether number 9 was marked in use.
  std::string Operations() {
    std::string results;
    const auto note = [&](StoreResult code) { results += std::to_string(static_cast<int>(code)) + " "; };
    note(Store().AddEntry(MakeEntry(9, "\xC0")));
    PhonebookEntry target;
    note(Store().FindEntry(1, target));
    std::vector<PhonebookEntry> listed;
    note(Store().ListEntries(KanaRowAll, SortByNumber, true, listed));
    std::vector<std::string> numbers = {"0002"};
    note(Store().DeleteEntries(KanaRowAll, numbers));
    note(Store().DeleteEntry(3));
    PhonebookImage image{};
    note(Store().BuildImage(image));
    note(Store().DeleteAll());
    results += Store().usedFlags()[9 - 1] ? "marked" : "unmarked";
    return results;
  }
};

TEST_F(StoreFault, RemovedFileGivesResultCodesAndIsNotRemadeEmpty) {
  ASSERT_TRUE(platform::RemoveFile(Path()));
  EXPECT_EQ(Operations(), "2 2 2 2 2 2 2 unmarked");
  EXPECT_FALSE(platform::FileExists(Path()));
  EXPECT_EQ(Store().usedFlags()[0], 1) << "the entries' numbers stay taken";
}

TEST_F(StoreFault, FileRemovedDuringABatchFailsAtTheNextOperation) {
  {
    CDbPhoneCtrl::Batch batch(Store());
    ASSERT_TRUE(platform::RemoveFile(Path()));
    EXPECT_EQ(Store().AddEntry(MakeEntry(4, "\xB1")), StoreResult::Ok);  // the open file lives on
    EXPECT_EQ(batch.Commit(), StoreResult::Ok);
  }
  PhonebookEntry target;
  EXPECT_EQ(Store().FindEntry(1, target), StoreResult::CreateFailed);
}

TEST_F(StoreFault, SpoiledFileGivesResultCodes) {
  WriteBytes(Path(), std::string(4096, '\x5A'));
  EXPECT_EQ(Operations(), "2 2 2 2 2 2 2 unmarked");
}

TEST_F(StoreFault, FileReplacedByAFolderOrALinkGivesResultCodes) {
  ASSERT_TRUE(platform::RemoveFile(Path()));
  std::filesystem::create_directory(Path());
  EXPECT_EQ(Operations(), "2 2 2 2 2 2 2 unmarked");
  std::filesystem::remove(Path());
  std::filesystem::create_symlink(m_folder.File("elsewhere"), Path());
  EXPECT_EQ(Operations(), "2 2 2 2 2 2 2 unmarked");
  EXPECT_FALSE(platform::FileExists(m_folder.File("elsewhere")));
}

// Read-only: reading still works, every change fails with a code and marks nothing.
TEST_F(StoreFault, UnwritableFileRefusesChangesWithResultCodes) {
  ASSERT_EQ(chmod(Path().c_str(), 0400), 0);
  const std::string report = RunInChild([&] {
    if (!DropPermissionOverride()) return std::string("no drop");
    return Operations();
  });
  EXPECT_EQ(report, "2 0 0 2 2 0 2 unmarked");
  ASSERT_EQ(chmod(Path().c_str(), 0600), 0);
  std::vector<PhonebookEntry> entries;
  ASSERT_EQ(Store().ListEntries(KanaRowAll, SortByNumber, true, entries), StoreResult::Ok);
  EXPECT_EQ(entries.size(), 3u) << "nothing was lost";
}

}  // namespace
