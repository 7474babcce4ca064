// The browser back end (Emscripten): pictures drawn into the page's canvas,
// keyboard, touch buttons and gamepads from the page, the page's clock, and
// Web Audio for the samples. The page (web/quarvel_page.js) is told what
// the game is doing, pauses it, keeps the high score and drives the app's
// frames from its timer. With a virtual clock (--headless in the browser)
// it runs a script exactly like the headless back end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "machine/backend.h"

namespace backend {

class Web : public machine::Display,
            public machine::Input,
            public machine::Clock,
            public machine::Audio,
            public machine::Host {
 public:
  explicit Web(bool virtualClock);
  ~Web() override;
  Web(const Web&) = delete;
  Web& operator=(const Web&) = delete;

  Outcome openDisplay(ScreenMode mode) override;
  void leaveFullScreen() override;
  void closeDisplay() override;
  void hidePointer() override;
  void toggleFullScreen() override;
  bool fullScreen() const override;
  void show(const uint32_t* pixels) override;

  void takeEvents(std::vector<machine::DeviceEvent>& events) override;

  bool real() const override { return !virtualClock_; }
  double nowMs() override;
  double secondsOfDay() override;
  void sleepUntil(double, bool) override {}  // the page's timer wakes the app

  bool openAudio() override;
  bool loadSample(int sample, const std::vector<uint8_t>& file, const WavSound& sound) override;
  void playSample(int channel, int sample, int volume) override;
  void closeAudio() override;
  void setMasterVolume(int percent, bool muted) override;

  void activityChanged(Activity activity) override;
  void highScoreChanged(int32_t highScore) override;
  void finished(int exitCode) override;
  void menuChanged(bool open) override;

 private:
  bool virtualClock_;
  bool displayOpen_ = false;
  bool left_ = false;           // after the shutdown's switch to a black screen
  bool paused_ = false;         // as the page last said
  std::vector<uint32_t> rgba_;  // as the canvas wants it
  bool audioOpen_ = false;
  bool samplesLoaded_[SAMPLE_COUNT] = {};
};

// The program has ended (before the page had a run to drive) with this exit code.
void tellPageFinished(int exitCode);

}  // namespace backend
