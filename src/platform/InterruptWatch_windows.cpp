// The interrupt watch on Windows: a console control handler, which the system calls on a
// thread of its own for Ctrl+C, Ctrl+Break and the console window being closed.
#include "platform/InterruptWatch.h"

#include "platform/WindowsApi.h"

namespace {

std::atomic<InterruptWatch*> g_pActiveWatch{nullptr};
std::function<void()>* g_pOnInterrupt = nullptr;
std::atomic<bool>* g_pInterrupted = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  if (!g_pActiveWatch.load()) return FALSE;
  *g_pInterrupted = true;
  if (*g_pOnInterrupt) (*g_pOnInterrupt)();
  return TRUE;
}

}  // namespace

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : m_onInterrupt(std::move(onInterrupt)) {
  g_pOnInterrupt = &m_onInterrupt;
  g_pInterrupted = &m_bInterrupted;
  g_pActiveWatch = this;
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

InterruptWatch::~InterruptWatch() {
  SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  g_pActiveWatch = nullptr;
}
