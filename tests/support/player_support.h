// Helpers of the player's-game tests: runs of the real binaries with their
// own environment (XDG folders in scratch space, never the real HOME), and
// the window back end in-process on SDL's dummy video driver.
#pragma once

#include <cstdint>
#include <string>

#include "backends/sdl_window.h"
#include "game/game.h"
#include "support/run_game.h"

// Runs `env ENV BINARY ARGS` in folder; BINARY is a path. Everything of the
// run's environment that names a per-user folder points into folder/home.
GameRun runIn(const std::string& folder, const std::string& binary, const std::string& args,
              const std::string& env = "");
std::string builtBinary(const std::string& name);  // build/NAME

// The window back end as the game starts it, on SDL's dummy video driver (no
// display needed), in-process: seed, settings text, settings file, and a
// recording of the player's input when recordFile is given.
backend::SdlWindow& startWindow(Game& game, uint32_t seed, const std::string& settings = "",
                                const std::string& settingsFile = "", const std::string& recordFile = "");
void stopWindow(Toolkit& toolkit);
uint64_t visiblePageHash(Machine& machine);
// A key event as SDL would deliver it (scan code = place, sym = layout).
void pushKey(int scancode, int sym, bool down, int mod = 0);
