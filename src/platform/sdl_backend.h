// The SDL window back end: the visible page scaled up crisply (whole-number
// factors, letterboxed), keyboard events into the key table and queue, real
// sleeps, and SDL2_mixer for the samples.
#pragma once

#include <cstdio>
#include <string>

#include "platform/backend.h"
#include "platform/platform_state.h"

struct SdlWindowState;  // window, renderer and texture (sdl_backend.cpp)
struct SDL_KeyboardEvent;

// The mixer's master volume (0..128) for the settings' volume (0..100),
// with the headroom that lets three samples sound at once without clipping.
int mixerMasterVolume(int volumePercent);

// The paused picture: the page dimmed, "PAUSED" across its middle.
void drawPausedPicture(const uint32_t* page, uint32_t* out);
struct SdlAudioState;  // mixer chunks (sdl_audio.cpp)

class SdlBackend : public PlatformBackend {
 public:
  // script: input to play as well as the keyboard's (--input).
  SdlBackend(const std::string& recordFile, std::vector<ScriptEvent> script);
  ~SdlBackend() override;
  void openDisplay(bool fullScreen) override;
  void leaveFullScreen() override;
  void closeDisplay() override;
  void hideMousePointer() override;
  void showPage(const uint32_t* pixels, bool urgent) override;
  void wait(int ms, bool stopOnKey) override;
  double secondsTimer() override;
  void addInput(const std::vector<ScriptEvent>& events) override;
  void noteSeed(uint32_t seed) override;

  bool openAudio() override;
  bool loadSample(int index, const std::string& path) override;
  void setSampleVolume(int index, int volume) override;
  void playSample(int channel, int index) override;
  void closeAudio() override;

 private:
  void pumpEvents();
  // Game controllers (sdl_controller.cpp): hot-plug, buttons and the stick.
  bool controllerEvent(const union SDL_Event& event);
  void controllerKey(int slot, int scanCode, bool down);
  void closeControllers();
  // The window's extras (sdl_extras.cpp): screenshots, pause, mute, volume.
  bool extraKey(const SDL_KeyboardEvent& key);
  int gameKeyOf(const SDL_KeyboardEvent& key) const;  // before the bindings
  std::string takeScreenshot();                       // the file written, "" on failure
  int pictureFactor() const;
  void changeVolume(int step);
  void applyVolume();
  void setPaused(bool paused, bool byFocus);
  void holdWhilePaused();
  int boundKey(int scanCode) const;  // the settings' key bindings
  void record(const std::string& line);
  SdlWindowState* window_ = nullptr;
  SdlAudioState* audio_ = nullptr;
  std::FILE* recordOut_ = nullptr;
  ScriptPlayer script_;
  int keyBinding_[256] = {};  // own key -> the game's key
  // Controller buttons and stick directions down now, and the game key each
  // pressed (A is Space or, at a question, y): slots 0..31 buttons, 32/33 the
  // stick's left and right.
  int controllerHeld_[34] = {};
  std::vector<void*> controllers_;  // SDL_GameController*
  bool muted_ = false;
  bool pausedByFocus_ = false;
};
