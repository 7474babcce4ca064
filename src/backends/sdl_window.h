// The SDL window back end: the pictures the app hands over scaled up crisply
// (whole-number factors, letterboxed), the keyboard in PC set-1 scan codes
// and the controllers as events for the app, SDL's clock, and SDL2_mixer
// for the samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "backends/window_config.h"
#include "machine/backend.h"

union SDL_Event;
struct SDL_KeyboardEvent;
struct _SDL_GameController;  // declared here, not inside backend: SDL's own type

namespace backend {

// The desktop ending the session (log-off, shutdown), which Windows tells
// the window (sdl_session_windows.cpp).
struct SessionEnd {
  bool ending = false;  // the desktop said the session ends
  // Written at once when it does: a reached high score.
  std::string path;
  std::string bytes;
};

struct SdlWindowState;  // window, renderer and texture (sdl_window.cpp)
struct SdlAudioState;   // mixer chunks (sdl_audio.cpp)

// The mixer's master volume (0..128) for the settings' volume (0..100),
// with the headroom that lets three samples sound at once without clipping.
int mixerMasterVolume(int volumePercent);

class SdlWindow : public machine::Display,
                  public machine::Input,
                  public machine::Clock,
                  public machine::Audio,
                  public machine::Host {
 public:
  explicit SdlWindow(WindowConfig config);
  ~SdlWindow() override;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  Outcome openDisplay(ScreenMode mode) override;
  void leaveFullScreen() override;
  void closeDisplay() override;
  void hidePointer() override;
  void show(const uint32_t* pixels) override;
  void toggleFullScreen() override;
  bool fullScreen() const override;
  void setScale(int scale) override;
  void setVsync(bool on) override;
  void showPointer(bool shown) override;
  int pictureFactor() const override;

  void takeEvents(std::vector<machine::DeviceEvent>& events) override;

  bool real() const override { return true; }
  double nowMs() override;
  double secondsOfDay() override;
  void sleepUntil(double untilMs, bool wakeOnEvent) override;

  bool openAudio() override;
  bool loadSample(int sample, const std::vector<uint8_t>& file, const WavSound& sound) override;
  void playSample(int channel, int sample, int volume) override;
  void closeAudio() override;
  void setMasterVolume(int percent, bool muted) override;

  void keepOnSessionEnd(const std::string& path, const std::string& bytes) override;

  // The window's size in pixels now.
  void windowSize(int& width, int& height) const;

 private:
  void present();  // the last picture again
  void keyEvent(const SDL_KeyboardEvent& key, std::vector<machine::DeviceEvent>& events) const;
  // Game controllers (sdl_controller.cpp): hot-plug, buttons and the stick.
  bool controllerEvent(const SDL_Event& event, std::vector<machine::DeviceEvent>& events);
  void closeControllers();

  WindowConfig config_;
  SdlWindowState* window_ = nullptr;
  SdlAudioState* audio_ = nullptr;
  std::vector<uint32_t> picture_;  // the picture last shown
  std::vector<_SDL_GameController*> controllers_;
  // The stick's sides as buttons, with a little play between on and off.
  bool stickLeft_ = false, stickRight_ = false, stickUp_ = false, stickDown_ = false;
  SessionEnd session_;  // and what to write at once should the desktop end it
};

}  // namespace backend
