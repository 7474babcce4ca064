// A headless game session for in-process tests of the game and its scenes:
// the headless back end with the harness playing a script and keeping the
// sound log, the sprite table, and the game's counters and page pair fresh.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

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
  std::string soundLogPath;  // the sound log of this session (when withSound)

 private:
  std::unique_ptr<harness::Harness> harness_;
};

// Adds scripted input (the script format, absolute times) to the running
// session; false on a malformed line.
bool scheduleInput(const std::string& scriptText);
