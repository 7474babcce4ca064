// Helpers of the player's-game tests: runs of the real binaries with their
// own environment (XDG folders in scratch space, never the real HOME), and
// the window build's app in-process on SDL's dummy video driver.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "app/options.h"
#include "backends/sdl_window.h"
#include "game/game.h"
#include "harness/harness.h"
#include "stage_one/stage_one.h"
#include "support/run_game.h"

// Runs `env ENV BINARY ARGS` in folder; BINARY is a path. Everything of the
// run's environment that names a per-user folder points into folder/home.
GameRun runIn(const std::string& folder, const std::string& binary, const std::string& args,
              const std::string& env = "");
std::string builtBinary(const std::string& name);  // build/NAME

// The window build's app as it starts the game, in-process on SDL's dummy
// video driver (no display needed): a fresh game on the window back end with
// its frame loop, seeded, the settings text applied (and saved to the
// settings file, when given), the player's input recorded when recordFile
// is given (and the frames' fingerprints when frameHashesFile is, and with
// sound on SDL's dummy driver, the sounds when soundLogFile is), the sprite
// table built.
class WindowRun {
  std::unique_ptr<Game> made_;  // first: the references below point into these
  std::unique_ptr<backend::SdlWindow> window_;
  RunOptions options_;

 public:
  explicit WindowRun(uint32_t seed, const std::string& settings = "", const std::string& settingsFile = "",
                     const std::string& recordFile = "", const std::string& frameHashesFile = "",
                     const std::string& soundLogFile = "");
  ~WindowRun();
  WindowRun(const WindowRun&) = delete;
  WindowRun& operator=(const WindowRun&) = delete;

  Game& game;
  backend::SdlWindow& window;
  FrameLoop loop;

  // Plays a stage or a wait through the loop in real time, taking the
  // window's events between its frames.
  StageResult play(Task<StageResult> task);
  void play(Task<> task);
  // One wait of ms through the loop: the window's events are taken meanwhile.
  void wait(int ms);

 private:
  std::unique_ptr<harness::Harness> recorder_;
};

// SDL's virtual game controller, plugged into the window's run while it
// lives (the back end hears of it and opens it at once).
class VirtualPad {
 public:
  explicit VirtualPad(WindowRun& run);
  ~VirtualPad() { unplug(); }
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;
  void unplug();
  void button(SDL_GameControllerButton button, bool down);
  void stickX(int value);
  // Down and up, each seen by SDL before the next, without a wait between.
  void tap(SDL_GameControllerButton button);
  // Down, a wait, up, a wait: what the game read of it (readKey).
  std::string press(SDL_GameControllerButton button);

 private:
  WindowRun& run_;
  int index_ = -1;
  SDL_Joystick* joystick_ = nullptr;
};

// Stage one up to lastFrame, the visible page's hash after each frame;
// drive(frame) gives the input after each, play runs the stage (through a
// window's loop, or headless).
std::vector<uint64_t> stageOneFrames(Game& game, int64_t lastFrame, const std::function<void(int64_t)>& drive,
                                     const std::function<void(Task<StageResult>)>& play);

// The FNV-1a hash of the visible page.
uint64_t visiblePageHash(const Machine& machine);
// A key event as SDL would deliver it (scan code = place, sym = layout).
void pushKey(int scancode, int sym, bool down, int mod = 0);
