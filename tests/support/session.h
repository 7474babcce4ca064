// A headless game session for in-process tests of the game and its scenes:
// a fresh game on the headless back end, with the harness playing a script
// and keeping the sound log, and the sprite table built.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "game/game.h"
#include "support/gfx_session.h"

namespace harness {
class Harness;
}

class TestSession : public GfxSession {
 public:
  // script: scripted input in the harness format (may be empty).
  explicit TestSession(const std::string& script = "", uint32_t seed = 1, bool withSound = false,
                       bool withSprites = true);
  ~TestSession() override;
  Game& game;
  std::string soundLogPath;  // the sound log of this session (when withSound)

 private:
  friend bool scheduleInput(const Machine& machine, const std::string& scriptText);
  std::unique_ptr<harness::Harness> harness_;
};

// Adds scripted input (the script format, absolute times) to the session
// running on that machine; false on a malformed line.
bool scheduleInput(const Machine& machine, const std::string& scriptText);
