// The replays kept of the player's games: one file a game in replays/ beside
// the high score (on Linux $XDG_DATA_HOME/quarvel/replays/), named after
// when the game was played and the stage it reached:
// 2026-12-09T08-43-55-s2.replay. Kept: the last 20 games and every game
// that raised the high score, at most 100 files; the oldest others go first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/outcome.h"
#include "formats/replay.h"

constexpr size_t KEEP_LAST_GAMES = 20;
constexpr size_t KEEP_AT_MOST = 100;
constexpr const char* REPLAY_EXTENSION = ".replay";

// A kept replay as the list shows it, newest first.
struct KeptReplay {
  std::string path;
  int64_t played = 0;  // seconds since 1970, UTC
  int32_t score = 0;   // the best score reached
  int stage = 0;       // reached: 1 to 3, 4 for the ending; 0 when the name does not say
  bool raisedHighScore = false;
};

// The folder of the replays: replays/ beside the high-score file.
std::string replaysFolder(const std::string& highScorePath);

// Every readable replay in folder, newest first (then by name); files that
// are not replays, or cannot be read, are left out.
std::vector<KeptReplay> listKeptReplays(const std::string& folder);

// Which of the kept replays go: all but the 20 newest and those that raised
// the high score, and then, past 100, the oldest of those that raised it.
// Returns their paths, oldest first.
std::vector<std::string> replaysToDelete(std::vector<KeptReplay> kept);

// The line the menu lists it by: "2026-12-09 08:43 3930 S2" (E for the ending).
std::string keptReplayLine(const KeptReplay& replay);

// The file name a game gets: when it was played and the stage it reached.
std::string replayFileName(int64_t played, int stage);

// Writes the replay of a game into folder (made when missing) with the
// atomic replace, then deletes what the keeping rules let go. Fails with the
// reason when the replay could not be written.
Outcome keepReplay(const std::string& folder, const Replay& replay, int stage);
