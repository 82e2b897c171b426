// The store's change notes: only writes that were kept are noted, and replaying the notes
// takes a run of writes back exactly, or makes it again, or (when the store moved on)
// changes nothing.
#include "phonebook/StoreChangeLog.h"
#include "StoreTestSupport.h"

namespace {

class StoreChangeLogTest : public StoreTest {
 protected:
  std::vector<PhonebookEntry> All() {
    std::vector<PhonebookEntry> entries;
    EXPECT_EQ(Store().ListAllEntries(entries), StoreResult::Ok);  // also checks usedFlags
    return entries;
  }
  StoreChangeLog m_log;
};

TEST_F(StoreChangeLogTest, NotesOnlyWhatWasKept) {
  AddAll({MakeEntry(1, "\xB1"), MakeEntry(2, "\xB6"), MakeEntry(3, "\xBB")});
  Store().SetChangeLog(&m_log);
  {
    CDbPhoneCtrl::Batch undone(Store());
    ASSERT_EQ(Store().DeleteAll(), StoreResult::Ok);
  }
  EXPECT_TRUE(m_log.empty());
  {
    CDbPhoneCtrl::Batch kept(Store());
    ASSERT_EQ(Store().DeleteEntry(1), StoreResult::Ok);
    {
      CDbPhoneCtrl::Batch savepoint(Store());  // undone alone
      ASSERT_EQ(Store().AddEntry(MakeEntry(9, "\xB1")), StoreResult::Ok);
    }
    std::vector<std::string> numbers{"0002", "0003"};
    ASSERT_EQ(Store().DeleteEntries(1, numbers), StoreResult::Ok);  // the か row holds only 2
    ASSERT_EQ(kept.Commit(), StoreResult::Ok);
  }
  ASSERT_EQ(m_log.size(), 2u);
  EXPECT_TRUE(!m_log[0].added && m_log[0].entry == MakeEntry(1, "\xB1"));
  EXPECT_TRUE(!m_log[1].added && m_log[1].entry == MakeEntry(2, "\xB6"));
}

TEST_F(StoreChangeLogTest, ReplayTakesTheWritesBackOrMakesThemAgain) {
  const std::vector<PhonebookEntry> before = {MakeEntry(1, "\xB1"), MakeEntry(2, "\xB6", "Old")};
  AddAll(before);
  Store().SetChangeLog(&m_log);
  {  // an edit that keeps the number
    CDbPhoneCtrl::Batch edit(Store());
    ASSERT_EQ(Store().DeleteEntry(2), StoreResult::Ok);
    ASSERT_EQ(Store().AddEntry(MakeEntry(2, "\xB6", "New")), StoreResult::Ok);
    ASSERT_EQ(edit.Commit(), StoreResult::Ok);
  }
  ASSERT_EQ(Store().AddEntry(MakeEntry(5, "\xDC")), StoreResult::Ok);
  ASSERT_EQ(Store().DeleteAll(), StoreResult::Ok);
  ASSERT_EQ(Store().AddEntry(MakeEntry(7, "\xDD")), StoreResult::Ok);
  Store().SetChangeLog(nullptr);
  const std::vector<PhonebookEntry> after = {MakeEntry(7, "\xDD")};
  ASSERT_EQ(All(), after);

  EXPECT_EQ(ReplayChanges(Store(), m_log, true), ReplayResult::Replayed);
  EXPECT_EQ(All(), before);
  EXPECT_EQ(EntriesBroughtIn(m_log, true), before);
  EXPECT_EQ(ReplayChanges(Store(), m_log, false), ReplayResult::Replayed);
  EXPECT_EQ(All(), after);
  EXPECT_EQ(EntriesBroughtIn(m_log, false), after);  // 2 and 5 came in and went out again

  // Entry 7 changed behind the log's back: taking it out would lose that change.
  ASSERT_EQ(Store().DeleteEntry(7), StoreResult::Ok);
  ASSERT_EQ(Store().AddEntry(MakeEntry(7, "\xDD", "Other")), StoreResult::Ok);
  EXPECT_EQ(ReplayChanges(Store(), m_log, true), ReplayResult::OutOfStep);
  EXPECT_EQ(All(), std::vector<PhonebookEntry>{MakeEntry(7, "\xDD", "Other")});
}

}  // namespace
