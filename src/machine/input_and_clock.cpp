// The keyboard (the key-held table and the key queue, filled through the
// input sinks), the clock with its waits, random numbers, and the quit
// requests the app answers.
#include <algorithm>

#include "machine/machine_state.h"
#include "os/quit_signal.h"

using machine::MachineState;

namespace machine {

namespace {

void tellInput(const MachineState& p, const InputEvent& event, InputOrigin origin) {
  tellObservers(p, [&](Observer& o) { o.input(event, origin); });
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
const InputSink& deviceInput(Machine& machine) { return machine.state().deviceInput; }

std::optional<SleepAsked> takeSleep(Machine& machine) { return std::exchange(machine.state().sleep, std::nullopt); }

void passTime(Machine& machine, int ms) {
  MachineState& p = machine.state();
  p.virtualMs += std::max(ms, 1);
  tellObservers(p, [&](Observer& o) { o.waiting(p.virtualMs); });
}

void requestQuit(Machine& machine, QuitReason reason) { machine.state().quitRequest = reason; }

std::optional<QuitReason> takeQuitRequest(Machine& machine) {
  if (os::quitRequested()) {
    os::clearQuitRequest();
    return QuitReason::Signal;
  }
  return std::exchange(machine.state().quitRequest, std::nullopt);
}

bool quitPending(const Machine& machine) { return os::quitRequested() || machine.state().quitRequest.has_value(); }

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

void Sleep::await_suspend(coro::coroutine_handle<> scene) const noexcept {
  machine_.state().sleep = machine::SleepAsked{scene, ms_, untilKey_};
}

Sleep sleepMs(Machine& machine, int ms) { return Sleep(machine, ms, false); }
Sleep sleepOrKey(Machine& machine, int ms) { return Sleep(machine, ms, true); }

void seedRandom(Machine& machine, uint32_t seed) {
  machine.state().random.seed(seed);
  machine::tellObservers(machine.state(), [&](machine::Observer& o) { o.seeded(seed); });
}

double randomUnit(Machine& machine) { return static_cast<double>(machine.state().random()) / 4294967296.0; }
