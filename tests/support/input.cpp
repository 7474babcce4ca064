#include "support/input.h"

#include <map>
#include <memory>

void pressKey(Machine& machine, int scanCode, const std::string& queueValue) {
  machine::scriptInput(machine).press(scanCode, queueValue);
}
void releaseKey(Machine& machine, int scanCode) { machine::scriptInput(machine).release(scanCode); }
void queueKeyValue(Machine& machine, const std::string& value) { machine::scriptInput(machine).type(value); }

namespace {

struct FrameHook : machine::Observer {
  std::function<void(int64_t)> hook;
  void framePresented(int64_t frame, const uint32_t*) override {
    if (hook) hook(frame);
  }
};

// One hook a machine.
std::map<const Machine*, std::unique_ptr<FrameHook>>& frameHooks() {
  static std::map<const Machine*, std::unique_ptr<FrameHook>> hooks;
  return hooks;
}

}  // namespace

void setFrameHook(Machine& machine, std::function<void(int64_t)> hook) {
  auto& hooks = frameHooks();
  auto kept = hooks.find(&machine);
  if (kept != hooks.end()) {
    machine::detach(machine, *kept->second);
    hooks.erase(kept);
  }
  if (!hook) return;
  auto observer = std::make_unique<FrameHook>();
  observer->hook = std::move(hook);
  machine::attach(machine, *observer);
  hooks[&machine] = std::move(observer);
}
