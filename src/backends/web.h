// The browser back end (Emscripten): the visible page drawn into the page's
// canvas, keyboard, touch buttons and gamepads from the page, sleeps through
// Asyncify, and Web Audio for the samples. The page (web/quarvel_page.js)
// is told what the game is doing, pauses it, and keeps the high score. With
// a virtual clock (--headless in the browser) it runs a script exactly like
// the headless back end: no real waiting, only a short yield now and then to
// keep the page alive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "backends/window_config.h"
#include "machine/backend.h"

namespace backend {

class Web : public machine::Backend {
 public:
  Web(WindowConfig config, bool virtualClock);
  ~Web() override;
  Outcome openDisplay(ScreenMode mode) override;
  void leaveFullScreen() override;
  void closeDisplay() override;
  void hideMousePointer() override;
  void showPage(const uint32_t* pixels, bool presented) override;
  void wait(int ms, bool stopOnKey) override;
  double secondsTimer(int64_t virtualMs) override;
  void activityChanged(Activity activity) override;
  void highScoreChanged(int32_t highScore) override;

  bool openAudio() override;
  bool loadSample(int sample, const std::vector<uint8_t>& file, const WavSound& sound) override;
  void playSample(int channel, int sample, int volume) override;
  void closeAudio() override;

 private:
  void pumpInput();
  void draw(const uint32_t* pixels);
  void yieldNow();
  void holdWhilePaused();
  WindowConfig config_;
  bool virtualClock_;
  bool displayOpen_ = false;
  bool left_ = false;  // after the shutdown's switch to a black screen
  Activity activity_ = Activity::Starting;
  // The machine's visible page as last handed over, 0x00RRGGBB: it stays the
  // picture on show until the next showPage, so it is kept by address, not copied.
  const uint32_t* shown_ = nullptr;
  std::vector<uint32_t> rgba_;  // as the canvas wants it
  bool pending_ = false;        // virtual clock: a page not drawn yet
  double lastYield_ = 0.0;
  int waitsSinceYield_ = 0;
  bool audioOpen_ = false;
  bool samplesLoaded_[SAMPLE_COUNT] = {};
  OverlayPicture pausedText_;
};

}  // namespace backend
