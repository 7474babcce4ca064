#include "app/game_record.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "app/replay_run.h"
#include "base/keys.h"
#include "formats/key_names.h"
#include "game/game_state.h"

void GameRecorder::input(const machine::InputEvent& event, machine::InputOrigin) {
  std::optional<ScriptEvent> taken = scriptEventOf(event, machine::virtualMs(game_));
  if (!taken) return;
  if (recording_) {
    taken->ms = freshMs(taken->ms);
    replay_.events.push_back(std::move(*taken));
    return;
  }
  if (taken->kind == ScriptEvent::Down && taken->scanCode == SC_SPACE) {
    fromStartKey_.clear();
    heldAtStartKey_.clear();
    for (const auto& [scanCode, down] : held_) heldAtStartKey_.push_back(down);
  } else if (taken->kind == ScriptEvent::Down && taken->text.empty()) {
    held_[taken->scanCode] = *taken;
  } else if (taken->kind == ScriptEvent::Up) {
    held_.erase(taken->scanCode);
  }
  if (!fromStartKey_.empty() || taken->scanCode == SC_SPACE) fromStartKey_.push_back(std::move(*taken));
}

void GameRecorder::gameStarts(uint32_t seed, int64_t played) {
  recording_ = true;
  startedAt_ = machine::virtualMs(game_);
  replay_ = Replay{};
  replay_.seed = seed;
  replay_.startHighScore = game_.gameState.highScore;
  replay_.played = played;
  // The keys held when Space was pressed are down from the start (only keys
  // that type nothing: the title would read those first).
  for (ScriptEvent down : heldAtStartKey_) {
    down.ms = FRESH_START_KEY_MS;
    replay_.events.push_back(std::move(down));
  }
  if (fromStartKey_.empty()) {  // started by no Space the game took down: one is given
    ScriptEvent space;
    space.ms = FRESH_START_KEY_MS;
    space.kind = ScriptEvent::Down;
    space.scanCode = SC_SPACE;
    space.text = typedValueForScanCode(SC_SPACE);
    replay_.events.push_back(space);
  }
  for (ScriptEvent event : fromStartKey_) {
    event.ms = std::max(FRESH_START_KEY_MS, freshMs(event.ms));
    replay_.events.push_back(std::move(event));
  }
  held_.clear();
  heldAtStartKey_.clear();
  fromStartKey_.clear();
}

Replay GameRecorder::gameEnds() {
  recording_ = false;
  replay_.endMs = freshMs(machine::virtualMs(game_));
  return std::move(replay_);
}
