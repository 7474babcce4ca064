// The headless back end: no window and no audio device. Time is virtual,
// input comes from a script, samples are only loaded and checked.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/backend.h"
#include "platform/harness.h"
#include "platform/platform_state.h"

class HeadlessBackend : public PlatformBackend {
 public:
  explicit HeadlessBackend(std::vector<ScriptEvent> script);
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
  ScriptPlayer script_;
  bool samplesLoaded_[9] = {};
};
