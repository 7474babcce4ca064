// The headless back end: virtual time and scripted input.
#include "platform/headless_backend.h"

#include "platform/platform.h"
#include "platform/platform_state.h"

HeadlessBackend::HeadlessBackend(std::vector<ScriptEvent> script) {
  script_.events = std::move(script);
  script_.applyUpTo(0);
}

void HeadlessBackend::openDisplay(bool) {}
void HeadlessBackend::leaveFullScreen() {}
void HeadlessBackend::closeDisplay() {}
void HeadlessBackend::hideMousePointer() {}
void HeadlessBackend::showPage(const uint32_t*, bool) {}

// Events are applied once the virtual clock has reached their time.
void HeadlessBackend::wait(int, bool) { script_.applyUpTo(platform().virtualMs); }

double HeadlessBackend::secondsTimer() { return static_cast<double>(platform().virtualMs) / 1000.0; }

void HeadlessBackend::addInput(const std::vector<ScriptEvent>& events) { script_.add(events); }
