// Any replay through the whole game, headless, up to a frame limit: the game
// never fails on it, and two plays of the same bytes end on the same frame.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/flow.h"
#include "formats/replay.h"

namespace {

constexpr int64_t FRAME_LIMIT = 300;  // ten seconds of play

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Replay replay;
  if (!parseReplay(std::string(reinterpret_cast<const char*>(data), size), replay).ok()) return 0;
  replay.rules = REPLAY_RULES_VERSION;  // every reading plays
  ReplayPlayed first;
  ReplayPlayed second;
  if (!playReplayInside(replay, QUARVEL_FUZZ_DATA, FRAME_LIMIT, first).ok()) __builtin_trap();
  if (!playReplayInside(replay, QUARVEL_FUZZ_DATA, FRAME_LIMIT, second).ok()) __builtin_trap();
  if (!(first.reached == second.reached) || first.stage != second.stage) __builtin_trap();
  if (first.reached.frames > FRAME_LIMIT) __builtin_trap();
  return 0;
}
