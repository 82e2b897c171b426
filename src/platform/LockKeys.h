// The state of the keyboard's lock keys, as far as the display system tells it.
#pragma once

struct LockKeyState {
  bool capsLock = false;
  bool numLock = false;
  bool scrollLock = false;
};

// The lock-key states: on X11 the lights of `display` (its Display*), all off when there
// is none (another windowing system, or the offscreen platform); on Windows the keyboard
// state, whatever `display` is.
LockKeyState QueryLockKeys(void* display);
