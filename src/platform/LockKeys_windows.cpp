// Windows backend of QueryLockKeys: the toggle bit of each lock key in the keyboard state.
#include "platform/LockKeys.h"

#include "platform/WindowsApi.h"

LockKeyState QueryLockKeys(void* /*display*/) {
  LockKeyState state;
  state.capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
  state.numLock = (GetKeyState(VK_NUMLOCK) & 1) != 0;
  state.scrollLock = (GetKeyState(VK_SCROLL) & 1) != 0;
  return state;
}
