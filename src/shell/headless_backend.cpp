// The headless back end: virtual time and scripted input.
#include "shell/headless_backend.h"

#include <algorithm>

#include "shell/platform.h"
#include "shell/platform_state.h"

HeadlessBackend::HeadlessBackend(std::vector<ScriptEvent> script) : script_(std::move(script)) {
  applyEventsUpTo(0);
}

void HeadlessBackend::openDisplay(bool) {}
void HeadlessBackend::leaveFullScreen() {}
void HeadlessBackend::closeDisplay() {}
void HeadlessBackend::hideMousePointer() {}
void HeadlessBackend::showPage(const uint32_t*, bool) {}

// Events are applied once the virtual clock has reached their time.
void HeadlessBackend::wait(int, bool) { applyEventsUpTo(platform().virtualMs); }

double HeadlessBackend::secondsTimer() { return static_cast<double>(platform().virtualMs) / 1000.0; }

// Later events join the ones still to come, in time order (earlier times
// than now are applied at the next wait).
void HeadlessBackend::addInput(const std::vector<ScriptEvent>& events) {
  script_.insert(script_.end(), events.begin(), events.end());
  std::stable_sort(script_.begin() + static_cast<std::ptrdiff_t>(next_), script_.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.ms < b.ms; });
}

void HeadlessBackend::applyEventsUpTo(int64_t ms) {
  while (next_ < script_.size() && script_[next_].ms <= ms) {
    const ScriptEvent& event = script_[next_++];
    switch (event.kind) {
      case ScriptEvent::Down:
        pressKey(event.scanCode, event.text);
        break;
      case ScriptEvent::Up:
        releaseKey(event.scanCode);
        break;
      case ScriptEvent::Type:
        for (char c : event.text) queueKeyValue(std::string(1, c));
        break;
      case ScriptEvent::Close:
        clickCloseButton();
        break;
      case ScriptEvent::Shot: {
        const std::string& folder = platform().options.shotsDir;
        writeVisiblePageBmp((folder.empty() ? std::string(".") : folder) + "/" + event.text + ".bmp");
        break;
      }
    }
  }
}
