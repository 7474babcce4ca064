// The headless back end: no window and no sound device. Time is virtual
// (the clock is the sum of the sleeps, advanced at once); input comes only
// from scripts; samples were checked by the machine and go nowhere.
#pragma once

#include "machine/backend.h"

namespace backend {

class Headless : public machine::Backend {
 public:
  Outcome openDisplay(ScreenMode) override { return {}; }
  void leaveFullScreen() override {}
  void closeDisplay() override {}
  void hideMousePointer() override {}
  void showPage(const uint32_t*, bool) override {}
  void wait(int, bool) override {}
  double secondsTimer(int64_t virtualMs) override { return static_cast<double>(virtualMs) / 1000.0; }
  bool openAudio() override { return true; }
  bool loadSample(int, const std::vector<uint8_t>&, const WavSound&) override { return true; }
  void playSample(int, int, int) override {}
  void closeAudio() override {}
};

}  // namespace backend
