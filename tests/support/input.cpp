#include "support/input.h"

void pressKey(int scanCode, const std::string& queueValue) { machine::scriptInput().press(scanCode, queueValue); }
void releaseKey(int scanCode) { machine::scriptInput().release(scanCode); }
void queueKeyValue(const std::string& value) { machine::scriptInput().type(value); }

namespace {

struct FrameHook : machine::Observer {
  std::function<void(int64_t)> hook;
  void framePresented(int64_t frame, const uint32_t*) override {
    if (hook) hook(frame);
  }
};

FrameHook& frameHook() {
  static FrameHook observer;
  return observer;
}

}  // namespace

void setFrameHook(std::function<void(int64_t)> hook) {
  FrameHook& observer = frameHook();
  machine::detach(observer);
  observer.hook = std::move(hook);
  if (observer.hook) machine::attach(observer);
}
