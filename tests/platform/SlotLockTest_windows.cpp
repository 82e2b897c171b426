// The slot counter on Windows: a named semaphore shared by every holder of one folder.
#include <gtest/gtest.h>

#include "../files/TestFiles.h"
#include "platform/PrivateFolder.h"
#include "platform/SlotLock.h"
#include "platform/WindowsApi.h"

namespace {

TEST(SlotLockWindows, FiveSlotsAreSharedByEveryHolderOfAFolder) {
  TempFolder folder;
  platform::SlotLocks first(folder.Path().string(), 5);
  platform::SlotLocks second(folder.Path().string(), 5);  // as another process would
  for (int i = 0; i < 3; ++i) ASSERT_GE(first.Acquire(), 0);
  ASSERT_GE(second.Acquire(), 0);
  const int last = second.Acquire();
  ASSERT_GE(last, 0);
  EXPECT_EQ(first.CountHeld(), 5);
  EXPECT_EQ(first.Acquire(), -1) << "a sixth holder gets no slot";
  EXPECT_EQ(second.Acquire(), -1);
  second.Release(last);
  EXPECT_EQ(first.CountHeld(), 4);
  EXPECT_GE(first.Acquire(), 0);
}

TEST(SlotLockWindows, FoldersCountApartAndHoldersGiveBackTheirSlots) {
  TempFolder one;
  TempFolder two;
  platform::SlotLocks counterOne(one.Path().string(), 5);
  {
    platform::SlotLocks counterTwo(two.Path().string(), 5);
    ASSERT_GE(counterTwo.Acquire(), 0);
    ASSERT_GE(counterTwo.Acquire(), 0);
    {
      platform::SlotLocks alsoOne(one.Path().string(), 5);
      ASSERT_GE(alsoOne.Acquire(), 0);
      EXPECT_EQ(counterOne.CountHeld(), 1);
    }
    EXPECT_EQ(counterOne.CountHeld(), 0) << "a holder that ends gives its slots back";
    EXPECT_EQ(counterTwo.CountHeld(), 2);
  }
  EXPECT_EQ(counterOne.CountHeld(), 0);
}

TEST(SlotLockWindows, AnUnusableFolderHasNoSlots) {
  platform::SlotLocks none("", 5);
  EXPECT_EQ(none.Acquire(), -1);
  EXPECT_EQ(none.CountHeld(), 0);
  none.Release(0);
  platform::SlotLocks missing("C:\\nonexistent-qvbook-folder", 5);
  EXPECT_EQ(missing.Acquire(), -1);
  EXPECT_EQ(missing.CountHeld(), 0);
}

// The editor's own folder counts its stores on the semaphore of that name.
TEST(SlotLockWindows, TheEditorsFolderCountsOnTheSemaphoreDbPhoneCtrl) {
  platform::SlotLocks editor(platform::UserPrivateFolderPath(), 5);
  platform::ScopedHandle semaphore(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, "DbPhoneCtrl"));
  ASSERT_TRUE(semaphore.Valid());
  const int slot = editor.Acquire();
  ASSERT_GE(slot, 0);
  LONG before = -1;
  ASSERT_TRUE(ReleaseSemaphore(semaphore.Get(), 1, &before));
  WaitForSingleObject(semaphore.Get(), 0);
  EXPECT_EQ(before, 1);
  editor.Release(slot);
  EXPECT_EQ(editor.CountHeld(), 0);
}

}  // namespace
