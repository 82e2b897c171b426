// The slot counter's lock files: taking, giving back and counting, within one process and
// between holders that stand for different processes.
#include "platform/SlotLock.h"

#include <gtest/gtest.h>

#include "../files/TestFiles.h"

namespace {

TEST(SlotLocks, HoldersTakeTheFirstFreeSlotUntilNoneIsLeft) {
  TempFolder scratch;
  const std::string folder = scratch.Path().string();
  platform::SlotLocks mine(folder, 3);
  platform::SlotLocks theirs(folder, 3);
  EXPECT_EQ(mine.CountHeld(), 0);
  EXPECT_EQ(mine.Acquire(), 0);
  EXPECT_EQ(theirs.Acquire(), 1);
  EXPECT_EQ(mine.Acquire(), 2);
  EXPECT_EQ(theirs.Acquire(), -1);
  EXPECT_EQ(mine.CountHeld(), 3);
  EXPECT_EQ(theirs.CountHeld(), 3);

  theirs.Release(1);
  EXPECT_EQ(mine.CountHeld(), 2);
  EXPECT_EQ(theirs.Acquire(), 1);
  theirs.Release(7);   // not a slot: ignored
  theirs.Release(0);   // not held by this holder: ignored
  EXPECT_EQ(theirs.CountHeld(), 3);
}

TEST(SlotLocks, DestroyingAHolderGivesBackItsSlots) {
  TempFolder scratch;
  const std::string folder = scratch.Path().string();
  platform::SlotLocks observer(folder, 2);
  {
    platform::SlotLocks holder(folder, 2);
    holder.Acquire();
    holder.Acquire();
    EXPECT_EQ(observer.CountHeld(), 2);
    EXPECT_EQ(observer.Acquire(), -1);
  }
  EXPECT_EQ(observer.CountHeld(), 0);
}

TEST(SlotLocks, AnUnusableFolderHasNoSlots) {
  platform::SlotLocks none("", 5);
  EXPECT_EQ(none.Acquire(), -1);
  platform::SlotLocks missing("/nonexistent-qvbook-folder", 5);
  EXPECT_EQ(missing.Acquire(), -1);
  EXPECT_EQ(missing.CountHeld(), 0);
}

}  // namespace
