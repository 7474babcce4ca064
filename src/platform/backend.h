// The one interface between the platform services and the machine: the SDL
// window back end and the headless back end. Drawing happens in memory in
// both; a back end only shows the visible page, delivers input, waits, and
// plays samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/harness.h"

class PlatformBackend {
 public:
  virtual ~PlatformBackend() = default;
  virtual void openDisplay(bool fullScreen) = 0;
  virtual void leaveFullScreen() = 0;  // 640x480 window, black
  virtual void closeDisplay() = 0;
  virtual void hideMousePointer() = 0;
  // The visible page (320x240, 32-bit) may have changed; show it when due.
  virtual void showPage(const uint32_t* pixels, bool urgent) = 0;
  // Waits ms milliseconds while delivering input; with stopOnKey returns
  // early when a key is queued. The virtual clock has already advanced.
  virtual void wait(int ms, bool stopOnKey) = 0;
  virtual double secondsTimer() = 0;
  // More scripted input while running (headless only; tests use it).
  virtual void addInput(const std::vector<ScriptEvent>&) {}
  // The seed of this run, for a recording to start with.
  virtual void noteSeed(uint32_t) {}

  virtual bool openAudio() = 0;
  virtual bool loadSample(int index, const std::string& path) = 0;
  virtual void setSampleVolume(int index, int volume) = 0;  // 0..255
  virtual void playSample(int channel, int index) = 0;
  virtual void closeAudio() = 0;
};
