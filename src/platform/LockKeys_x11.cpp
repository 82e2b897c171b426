// X11 backend of QueryLockKeys: reads the keyboard's indicator lights through XKB.
#include "platform/LockKeys.h"

#include <X11/XKBlib.h>

namespace {

// The indicator bit of a named light, or 0 when the keyboard has no such light.
unsigned int IndicatorMask(Display* display, const char* name) {
  Atom atom = XInternAtom(display, name, True);
  if (atom == None) return 0;
  int index = -1;
  if (!XkbGetNamedIndicator(display, atom, &index, nullptr, nullptr, nullptr) || index < 0)
    return 0;
  return 1u << index;
}

}  // namespace

LockKeyState QueryLockKeys(void* display) {
  LockKeyState state;
  auto* x = static_cast<Display*>(display);
  if (!x) return state;
  unsigned int lights = 0;
  if (XkbGetIndicatorState(x, XkbUseCoreKbd, &lights) != Success) return state;
  state.capsLock = (lights & IndicatorMask(x, "Caps Lock")) != 0;
  state.numLock = (lights & IndicatorMask(x, "Num Lock")) != 0;
  state.scrollLock = (lights & IndicatorMask(x, "Scroll Lock")) != 0;
  return state;
}
