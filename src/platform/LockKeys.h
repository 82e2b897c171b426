// The state of the keyboard's lock keys, as far as the display system tells it.
#pragma once

struct LockKeyState {
  bool capsLock = false;
  bool numLock = false;
  bool scrollLock = false;
};

// The lock-key lights of an X11 display (`display` is its Display*); all off when there is
// no display (another windowing system, or the offscreen platform).
LockKeyState QueryLockKeys(void* display);
