// The keyboard (the key-held table and the key queue, filled through the
// input sinks), the clock with its waits, random numbers, and the one way a
// quit request reaches the app.
#include <algorithm>

#include "machine/machine_state.h"
#include "os/quit_signal.h"

using machine::MachineState;

namespace machine {

namespace {

void tellInput(const MachineState& p, const InputEvent& event, InputOrigin origin) {
  tellObservers(p, [&](Observer& o) { o.input(event, origin); });
}

// A quit asked for from outside the game ends it here, between frames.
void quitIfRequested(MachineState& p) {
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

void advanceClock(MachineState& p, int ms, bool stopOnKey) {
  // A frame that asks for no sleep at all (stage three with Ctrl held) still
  // counts one virtual millisecond, so that scripted input and recordings
  // can reach a game running flat out.
  p.virtualMs += std::max(ms, 1);
  showVisiblePage(p, false);
  tellObservers(p, [&](Observer& o) { o.waiting(p.virtualMs); });
  quitIfRequested(p);
  if (p.backend) p.backend->wait(ms, stopOnKey);
  quitIfRequested(p);
}

}  // namespace

void InputSink::press(int scanCode, const std::string& typed) const {
  MachineState& p = machine_;
  if (scanCode >= 0 && scanCode < SCAN_CODE_COUNT) p.held[scanCode] = true;
  if (!typed.empty()) p.keyQueue.push_back(typed);
  tellInput(p, {InputEvent::Press, scanCode, typed}, origin_);
}

void InputSink::release(int scanCode) const {
  if (scanCode >= 0 && scanCode < SCAN_CODE_COUNT) machine_.held[scanCode] = false;
  tellInput(machine_, {InputEvent::Release, scanCode, ""}, origin_);
}

void InputSink::type(const std::string& value) const {
  machine_.keyQueue.push_back(value);
  tellInput(machine_, {InputEvent::Type, 0, value}, origin_);
}

void InputSink::closeButton() const {
  MachineState& p = machine_;
  if (p.closeButton == CloseButton::Quit)
    p.quitRequest = QuitReason::CloseButton;
  else
    p.keyQueue.push_back(keyWithoutCharacter());
  tellInput(p, {InputEvent::Close, 0, ""}, origin_);
}

bool InputSink::keyQueued() const { return !machine_.keyQueue.empty(); }

int64_t virtualMs(const Machine& machine) { return machine.state().virtualMs; }
int64_t framesPresented(const Machine& machine) { return machine.state().frames; }
const InputSink& scriptInput(Machine& machine) { return machine.state().scriptInput; }

void requestQuit(Machine& machine, QuitReason reason) { machine.state().quitRequest = reason; }
void setQuitHandler(Machine& machine, std::function<void(QuitReason)> handler) {
  machine.state().quitHandler = std::move(handler);
}
void setCloseButton(Machine& machine, CloseButton behaviour) { machine.state().closeButton = behaviour; }

}  // namespace machine

bool keyHeld(const Machine& machine, int scanCode) {
  return scanCode >= 0 && scanCode < SCAN_CODE_COUNT && machine.state().held[scanCode];
}

std::string readKey(Machine& machine) {
  MachineState& p = machine.state();
  if (p.keyQueue.empty()) return "";
  std::string key = std::move(p.keyQueue.front());
  p.keyQueue.pop_front();
  return key;
}

void emptyKeyQueue(Machine& machine) {
  while (!readKey(machine).empty()) {
  }
}

void sleepMs(Machine& machine, int ms) { machine::advanceClock(machine.state(), ms, false); }
void sleepOrKey(Machine& machine, int ms) { machine::advanceClock(machine.state(), ms, true); }

double secondsTimer(Machine& machine) {
  MachineState& p = machine.state();
  return p.backend ? p.backend->secondsTimer(p.virtualMs) : static_cast<double>(p.virtualMs) / 1000.0;
}

void seedRandom(Machine& machine, uint32_t seed) {
  machine.state().random.seed(seed);
  machine::tellObservers(machine.state(), [&](machine::Observer& o) { o.seeded(seed); });
}

double randomUnit(Machine& machine) { return static_cast<double>(machine.state().random()) / 4294967296.0; }
