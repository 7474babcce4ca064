#include "support/session.h"

#include <stdexcept>

#include "backends/headless.h"
#include "formats/script.h"
#include "game/game_state.h"
#include "harness/harness.h"
#include "machine/machine.h"

namespace {
harness::Harness* running = nullptr;
}  // namespace

TestSession::TestSession(const std::string& script, uint32_t seed, bool withSound, bool withSprites)
    : GfxSession(seed, withSprites, std::make_unique<backend::Headless>()) {
  harness::Options options;
  if (!parseScript(script, options.script).ok()) throw std::runtime_error("a malformed test script");
  if (withSound) {
    soundLogPath = folder + "/sound.log";
    options.soundLog = soundLogPath;
  }
  harness_ = std::make_unique<harness::Harness>(std::move(options));
  running = harness_.get();
  gameState = GameState{};
  pagePair = PagePair{};
  initSound(withSound);
}

TestSession::~TestSession() {
  running = nullptr;
  harness_.reset();
}

bool scheduleInput(const std::string& scriptText) {
  Script script;
  if (running == nullptr || !parseScript(scriptText, script).ok()) return false;
  running->addInput(script.events);
  return true;
}
