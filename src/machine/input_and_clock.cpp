// The keyboard (the key-held table and the key queue, filled through the
// input sinks), the clock with its waits, random numbers, and the one way a
// quit request reaches the app.
#include <algorithm>

#include "machine/machine_state.h"
#include "os/quit_signal.h"

using machine::MachineState;
using machine::state;

namespace machine {

namespace {

void tellInput(const InputEvent& event, InputOrigin origin) {
  tellObservers([&](Observer& o) { o.input(event, origin); });
}

// A quit asked for from outside the game ends it here, between frames.
void quitIfRequested() {
  MachineState& p = state();
  if (os::quitRequested()) {
    os::clearQuitRequest();
    p.quitRequest = QuitReason::Signal;
  }
  if (!p.quitRequest || !p.quitHandler) return;
  QuitReason reason = *p.quitRequest;
  p.quitRequest.reset();
  std::function<void(QuitReason)> handler = std::move(p.quitHandler);
  p.quitHandler = nullptr;
  handler(reason);
}

void advanceClock(int ms, bool stopOnKey) {
  MachineState& p = state();
  // A frame that asks for no sleep at all (stage three with Ctrl held) still
  // counts one virtual millisecond, so that scripted input and recordings
  // can reach a game running flat out.
  p.virtualMs += std::max(ms, 1);
  showVisiblePage(false);
  tellObservers([&](Observer& o) { o.waiting(p.virtualMs); });
  quitIfRequested();
  if (p.backend) p.backend->wait(ms, stopOnKey);
  quitIfRequested();
}

}  // namespace

void InputSink::press(int scanCode, const std::string& typed) const {
  MachineState& p = state();
  if (scanCode >= 0 && scanCode < SCAN_CODE_COUNT) p.held[scanCode] = true;
  if (!typed.empty()) p.keyQueue.push_back(typed);
  tellInput({InputEvent::Press, scanCode, typed}, origin_);
}

void InputSink::release(int scanCode) const {
  if (scanCode >= 0 && scanCode < SCAN_CODE_COUNT) state().held[scanCode] = false;
  tellInput({InputEvent::Release, scanCode, ""}, origin_);
}

void InputSink::type(const std::string& value) const {
  state().keyQueue.push_back(value);
  tellInput({InputEvent::Type, 0, value}, origin_);
}

void InputSink::closeButton() const {
  MachineState& p = state();
  if (p.closeButton == CloseButton::Quit)
    p.quitRequest = QuitReason::CloseButton;
  else
    p.keyQueue.push_back(keyWithoutCharacter());
  tellInput({InputEvent::Close, 0, ""}, origin_);
}

bool InputSink::keyQueued() const { return !state().keyQueue.empty(); }

int64_t virtualMs() { return state().virtualMs; }
int64_t framesPresented() { return state().frames; }
const InputSink& scriptInput() { return state().scriptInput; }

void requestQuit(QuitReason reason) { state().quitRequest = reason; }
void setQuitHandler(std::function<void(QuitReason)> handler) { state().quitHandler = std::move(handler); }
void setCloseButton(CloseButton behaviour) { state().closeButton = behaviour; }

}  // namespace machine

bool keyHeld(int scanCode) { return scanCode >= 0 && scanCode < SCAN_CODE_COUNT && state().held[scanCode]; }

std::string readKey() {
  MachineState& p = state();
  if (p.keyQueue.empty()) return "";
  std::string key = std::move(p.keyQueue.front());
  p.keyQueue.pop_front();
  return key;
}

void emptyKeyQueue() {
  while (!readKey().empty()) {
  }
}

void sleepMs(int ms) { machine::advanceClock(ms, false); }
void sleepOrKey(int ms) { machine::advanceClock(ms, true); }

double secondsTimer() {
  MachineState& p = state();
  return p.backend ? p.backend->secondsTimer(p.virtualMs) : static_cast<double>(p.virtualMs) / 1000.0;
}

void seedRandom(uint32_t seed) {
  state().random.seed(seed);
  machine::tellObservers([&](machine::Observer& o) { o.seeded(seed); });
}

double randomUnit() { return static_cast<double>(state().random()) / 4294967296.0; }
