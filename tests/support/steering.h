// What the automated players share: steering a stage from the frame hook,
// holding keys as a keyboard does, answering the continue prompt.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "game/game_state.h"
#include "machine/machine.h"
#include "support/input.h"
#include "support/session.h"

// `watch`, when given, runs after every presented frame (with its number),
// before the player chooses its keys for the next one.
template <typename Record>
using StageWatcher = std::function<void(const Record& stage, int64_t frame)>;

// True while an automated player chooses its keys in the frame hook: what it
// presses then must reach a replay after that frame's sleep.
extern bool choosingKeys;

// Called by a player in every frame: once its stage ends in a game over, a "y"
// is scheduled for the continue prompt that follows the game-over pause.
inline void answerContinue(Machine& machine, bool gameOver, bool& answered) {
  if (gameOver && !answered) scheduleInput(machine, std::to_string(virtualMs(machine) + 1500) + " type y\n");
  answered = gameOver;
}

// Holds or lets go of a key the way a keyboard does (with its typed value).
inline void holdKey(Machine& machine, int scanCode, bool down, bool& held) {
  if (down && !held) pressKey(machine, scanCode, scanCode == SC_SPACE ? " " : keyWithoutCharacter());
  if (!down && held) releaseKey(machine, scanCode);
  held = down;
}

// Runs `run` on `stage` with `choose` picking the keys after every presented
// frame (choosingKeys set meanwhile), then takes the hook away.
template <typename Record, typename Choose, typename Run>
StageResult steerStage(Game& game, Record& stage, const StageWatcher<Record>& watch, Choose choose, Run run) {
  setFrameHook(game, [&](int64_t frame) {
    if (watch) watch(stage, frame);
    choosingKeys = true;
    choose();
    choosingKeys = false;
  });
  StageResult result = playToEnd(game, run(game, stage));
  setFrameHook(game, nullptr);
  return result;
}
