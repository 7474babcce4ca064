#include "support/session.h"

#include <map>
#include <stdexcept>

#include "backends/headless.h"
#include "formats/script.h"
#include "harness/harness.h"
#include "machine/machine.h"

namespace {
// The sessions running now, by their machine: automated players schedule
// their answers through it.
std::map<const Machine*, TestSession*>& running() {
  static std::map<const Machine*, TestSession*> sessions;
  return sessions;
}
}  // namespace

TestSession::TestSession(const std::string& script, uint32_t seed, bool withSound, bool withSprites)
    : GfxSession(std::make_unique<Game>(), seed, withSprites, std::make_unique<backend::Headless>()),
      game(static_cast<Game&>(machine)) {
  harness::Options options;
  if (!parseScript(script, options.script).ok()) throw std::runtime_error("a malformed test script");
  if (withSound) {
    soundLogPath = folder + "/sound.log";
    options.soundLog = soundLogPath;
  }
  harness_ = std::make_unique<harness::Harness>(game, std::move(options));
  initSound(game, withSound);
  running()[&machine] = this;
}

TestSession::~TestSession() {
  running().erase(&machine);
  harness_.reset();
}

bool scheduleInput(const Machine& machine, const std::string& scriptText) {
  Script script;
  auto session = running().find(&machine);
  if (session == running().end() || !parseScript(scriptText, script).ok()) return false;
  session->second->harness_->addInput(script.events);
  return true;
}
