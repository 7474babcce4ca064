// Every game a player plays, taken down as a replay that plays from a fresh
// start of the program: the key that started it at the title, then every
// input the game took (in game keys: after the player's key bindings), at
// the times a fresh run takes them, and where the game ended.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "formats/replay.h"
#include "game/game.h"
#include "machine/observer.h"

// A fresh run's title reads a key given at 1 ms and hands over to the game
// at 2 ms, one sleep later.
constexpr int64_t FRESH_START_KEY_MS = 1;
constexpr int64_t FRESH_GAME_START_MS = 2;

class GameRecorder : public machine::Observer {
 public:
  explicit GameRecorder(const Game& game) : game_(game) {}

  // The title has just handed over to a game seeded with seed, which starts
  // from the high score now shown; played: seconds since 1970.
  void gameStarts(uint32_t seed, int64_t played);
  bool recording() const { return recording_; }
  // The game so far, to now (back at the title, or the run is ending), as a
  // replay without claims; then it waits for the next game.
  Replay gameEnds();

  void input(const machine::InputEvent& event, machine::InputOrigin origin) override;

 private:
  int64_t freshMs(int64_t ms) const { return ms - startedAt_ + FRESH_GAME_START_MS; }

  const Game& game_;
  bool recording_ = false;
  int64_t startedAt_ = 0;
  Replay replay_;
  // At the title: the keys held, those held at the last Space, and what
  // came from that Space on.
  std::map<int, ScriptEvent> held_;
  std::vector<ScriptEvent> heldAtStartKey_;
  std::vector<ScriptEvent> fromStartKey_;
};
