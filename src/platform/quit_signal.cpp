// Ctrl+C and SIGTERM: the signal only raises a flag; the next wait of the
// game thread sees it and hands over to the entry point's quit handler,
// which saves and closes everything as a normal end would.
#include <csignal>

#include "platform/harness.h"
#include "platform/platform_state.h"

namespace {
volatile std::sig_atomic_t quitSignalled = 0;

extern "C" void onQuitSignal(int) { quitSignalled = 1; }

void setSignals(void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}
}  // namespace

void setQuitHandler(std::function<void()> handler) {
  PlatformState& p = platform();
  p.quitHandler = std::move(handler);
  quitSignalled = 0;
  setSignals(p.quitHandler ? onQuitSignal : SIG_DFL);
}

bool quitRequested() { return quitSignalled != 0; }

void runQuitHandlerIfAsked() {
  PlatformState& p = platform();
  if (quitSignalled == 0 || !p.quitHandler) return;
  quitSignalled = 0;
  std::function<void()> handler = std::move(p.quitHandler);
  p.quitHandler = nullptr;
  handler();
}
