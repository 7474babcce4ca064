// The SDL window back end: the visible page scaled up crisply (whole-number
// factors, letterboxed), keyboard and controllers into the machine's input
// sink, real sleeps, and SDL2_mixer for the samples; and what only a player
// at the window has: pause, mute and volume shown in the game's lettering,
// F12 screenshots, full screen on Alt+Enter.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "backends/pacing.h"
#include "backends/window_config.h"
#include "machine/backend.h"

union SDL_Event;
struct SDL_KeyboardEvent;
struct _SDL_GameController;  // declared here, not inside backend: SDL's own type

namespace backend {

struct SdlWindowState;  // window, renderer and texture (sdl_window.cpp)
struct SdlAudioState;   // mixer chunks (sdl_audio.cpp)

// The mixer's master volume (0..128) for the settings' volume (0..100),
// with the headroom that lets three samples sound at once without clipping.
int mixerMasterVolume(int volumePercent);

class SdlWindow : public machine::Backend {
 public:
  explicit SdlWindow(WindowConfig config);
  ~SdlWindow() override;
  Outcome openDisplay(ScreenMode mode) override;
  void leaveFullScreen() override;
  void closeDisplay() override;
  void hideMousePointer() override;
  void showPage(const uint32_t* pixels, bool presented) override;
  void wait(int ms, bool stopOnKey) override;
  double secondsTimer(int64_t virtualMs) override;
  void activityChanged(Activity activity) override;

  bool openAudio() override;
  bool loadSample(int sample, const std::vector<uint8_t>& file, const WavSound& sound) override;
  void playSample(int channel, int sample, int volume) override;
  void closeAudio() override;

  bool paused() const { return paused_; }
  int volume() const { return config_.volume; }
  bool muted() const { return config_.muted; }
  // The window's size in pixels now.
  void windowSize(int& width, int& height) const;

 private:
  void pumpEvents();
  void present();  // the last page, with the pause or the overlay over it
  // Game controllers (sdl_controller.cpp): hot-plug, buttons and the stick.
  bool controllerEvent(const SDL_Event& event);
  void controllerKey(int slot, int scanCode, bool down);
  void closeControllers();
  // The window's extras (sdl_extras.cpp): screenshots, pause, mute, volume.
  bool extraKey(const SDL_KeyboardEvent& key);
  int gameKeyOf(const SDL_KeyboardEvent& key) const;  // before the bindings
  std::string takeScreenshot();                       // the file written, "" on failure
  int pictureFactor() const;
  void changeVolume(int step);
  void toggleMute();
  void applyVolume();
  bool showOverlay(const std::string& text);  // false (nothing shown) before the letters are there
  void expireOverlay();                       // takes the overlay away once its moment is over
  void setPaused(bool paused, bool byFocus);
  void holdWhilePaused();
  int boundKey(int scanCode) const;

  WindowConfig config_;
  SdlWindowState* window_ = nullptr;
  SdlAudioState* audio_ = nullptr;
  FramePacer pacer_;
  std::vector<uint32_t> page_;  // the page last shown
  Activity activity_ = Activity::Starting;
  // Controller buttons and stick directions down now, and the game key each
  // pressed (A is Space or, at a question, y): slots 0..31 buttons, 32/33 the
  // stick's left and right.
  static constexpr int CONTROLLER_SLOTS = 34;
  int controllerHeld_[CONTROLLER_SLOTS] = {};
  std::vector<_SDL_GameController*> controllers_;
  std::atomic<bool> paused_{false};  // tests watch it from another thread
  bool pausedByFocus_ = false;
  OverlayPicture pausedText_;
  OverlayPicture overlay_;  // the volume or MUTED, shown for a moment
  uint64_t overlayUntil_ = 0;
  std::string startOverlay_;  // MUTED or VOLUME 0, shown once the game's letters are there
};

}  // namespace backend
