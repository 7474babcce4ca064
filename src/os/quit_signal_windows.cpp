// Ctrl+C, Ctrl+Break, the console window closed, the user logging off and
// the system shutting down: each is a console control event, delivered on a
// thread of its own.
#include <windows.h>

#include <atomic>

#include "os/quit_signal.h"

namespace os {

namespace {

// What the console handler (another thread) says; the one shared variable.
std::atomic<bool> quitAsked{false};  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

// After a close, log-off or shutdown event the system ends the process as
// soon as the handler returns (and at the latest some 5 s after the event),
// so the handler holds on while the game takes the quit path and saves; the
// game's own exit ends this wait with the process.
constexpr DWORD GRACE_MS = 4500;

BOOL WINAPI onConsoleEvent(DWORD event) {
  quitAsked = true;
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) Sleep(GRACE_MS);
  return TRUE;
}

}  // namespace

void watchQuitRequests(bool watch) {
  quitAsked = false;
  SetConsoleCtrlHandler(onConsoleEvent, watch ? TRUE : FALSE);
}

bool quitRequested() { return quitAsked; }
void clearQuitRequest() { quitAsked = false; }
void requestQuit() { quitAsked = true; }

}  // namespace os
