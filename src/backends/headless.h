// The headless back end: no window and no sound device. Time is virtual
// (the clock is the sum of the sleeps, advanced at once); input comes only
// from scripts; samples were checked by the machine and go nowhere.
#pragma once

#include "machine/backend.h"

namespace backend {

class Headless : public machine::Display,
                 public machine::Input,
                 public machine::Clock,
                 public machine::Audio,
                 public machine::Host {
 public:
  Outcome openDisplay(ScreenMode) override { return {}; }
  void leaveFullScreen() override {}
  void closeDisplay() override {}
  void hidePointer() override {}
  void show(const uint32_t*) override {}

  void takeEvents(std::vector<machine::DeviceEvent>&) override {}

  bool real() const override { return false; }
  double nowMs() override { return 0.0; }
  double secondsOfDay() override { return 0.0; }
  void sleepUntil(double, bool) override {}

  bool openAudio() override { return true; }
  bool loadSample(int, const std::vector<uint8_t>&, const WavSound&) override { return true; }
  void playSample(int, int, int) override {}
  void closeAudio() override {}
};

}  // namespace backend
