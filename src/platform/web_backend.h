// The browser back end (Emscripten): the visible page drawn into the page's
// canvas, keyboard, touch buttons and gamepads from the page, sleeps through
// Asyncify, and Web Audio for the samples. With a virtual clock (--headless
// in the browser) it runs a script exactly like the headless back end: no
// real waiting, only a short yield now and then to keep the page alive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/platform_state.h"

class WebBackend : public PlatformBackend {
 public:
  WebBackend(std::vector<ScriptEvent> script, bool virtualClock);
  ~WebBackend() override;
  void openDisplay(bool fullScreen) override;
  void leaveFullScreen() override;
  void closeDisplay() override;
  void hideMousePointer() override;
  void showPage(const uint32_t* pixels, bool urgent) override;
  void wait(int ms, bool stopOnKey) override;
  double secondsTimer() override;
  void addInput(const std::vector<ScriptEvent>& events) override;

  bool openAudio() override;
  bool loadSample(int index, const std::string& path) override;
  void setSampleVolume(int index, int volume) override;
  void playSample(int channel, int index) override;
  void closeAudio() override;

 private:
  void pumpInput();
  void draw(const uint32_t* pixels);
  void yieldNow();
  ScriptPlayer script_;
  bool virtualClock_;
  bool displayOpen_ = false;
  bool left_ = false;  // after the shutdown's switch to a black screen
  std::vector<uint32_t> rgba_;
  const uint32_t* pending_ = nullptr;  // virtual clock: a page not drawn yet
  double lastShown_ = -1.0e9;
  double lastYield_ = 0.0;
  int waitsSinceYield_ = 0;
  // Waits of 1 ms in a row without a frame: the game is waiting for a key
  // (the title or a Y/N question), so a gamepad's A and B also answer y / n.
  int keyWaits_ = 0;
  bool audioOpen_ = false;
  bool samplesLoaded_[9] = {};
  int defaultVolume_[9] = {255, 255, 255, 255, 255, 255, 255, 255, 255};
};
