// What a run does with replays: it watches the game for what a replay
// claims (the best score, the high score, the frames, the last frame) and
// takes down its input as game keys; --verify prints the verdict.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/replay.h"
#include "game/game.h"
#include "machine/observer.h"

// The stages reached: 1 to 3, 4 for the ending.
constexpr int ENDING_STAGE = 4;

// An input the game took as a replay's event at ms, in game keys; none for
// what a replay does not keep (a key without a name, a blank typed).
std::optional<ScriptEvent> scriptEventOf(const machine::InputEvent& event, int64_t ms);

class ClaimsWatch : public machine::Observer {
 public:
  // stageReached: the furthest stage, as the flow keeps it.
  // frameLimit: past this many frames the run is stopped as by the clock
  // limit (0: none).
  ClaimsWatch(Game& game, const int& stageReached, int64_t frameLimit = 0)
      : game_(game), stageReached_(stageReached), frameLimit_(frameLimit) {}
  // What the run has reached so far.
  ReplayClaims reached() const;
  int stage() const { return stageReached_ < 1 ? 1 : stageReached_; }
  // Every input the game took, whoever gave it, stamped with the virtual
  // clock: played at those times it gives the same game.
  const std::vector<ScriptEvent>& events() const { return events_; }

  void framePresented(int64_t frame, const uint32_t* page) override;
  void input(const machine::InputEvent& event, machine::InputOrigin origin) override;

 private:
  Game& game_;
  const int& stageReached_;
  int64_t frameLimit_ = 0;
  int32_t bestScore_ = 0;
  int64_t frames_ = 0;
  std::vector<uint32_t> lastPage_;
  std::vector<ScriptEvent> events_;
};

// "held", "broken" or "none".
const char* claimsVerdict(const Replay& replay, const ReplayClaims& reached);
// The one line of JSON --verify prints.
std::string verdictJson(const Replay& replay, const ReplayClaims& reached, int stage);
