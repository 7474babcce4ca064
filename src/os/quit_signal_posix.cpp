// SIGINT and SIGTERM.
#include <csignal>

#include "os/quit_signal.h"

namespace os {

namespace {

// The one variable a signal handler may write.
volatile std::sig_atomic_t quitSignalled = 0;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

extern "C" void onQuitSignal(int) { quitSignalled = 1; }

}  // namespace

void watchQuitRequests(bool watch) {
  quitSignalled = 0;
  struct sigaction action = {};
  action.sa_handler = watch ? onQuitSignal : SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool quitRequested() { return quitSignalled != 0; }
void clearQuitRequest() { quitSignalled = 0; }
void requestQuit() { quitSignalled = 1; }

}  // namespace os
