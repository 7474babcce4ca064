// The high-score file hiscore.txt: "hi-score" CR LF, the value CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "machine/machine.h"

struct Game;  // game/game.h

// The file is refused above this size (a high-score file is two short lines).
constexpr size_t HIGH_SCORE_FILE_CAP = 64u << 10;

// Where the high score is kept, and what this run has said about it.
struct HighScoreStorage {
  std::string path = "hiscore.txt";
  bool warned = false;                        // one warning on stderr a run, whatever goes wrong
  bool savesAllowed = true;                   // watching a recording in the window never saves
  ReplaceStepHook replaceStepHook = nullptr;  // tests: stop or fail a save after a step
};

// The saved high score; a missing or empty file gives 1000 and is created.
int32_t loadHighScore(Game& game);
void saveHighScore(Game& game, int32_t value);
// Saves when the score equals the high score: what every stage end does.
void saveHighScoreIfReached(Game& game);
// Where the file lives (hiscore.txt in the working directory unless start-up
// says otherwise) and whether saves happen at all.
void setHighScoreFile(Game& game, const std::string& path);
void allowHighScoreSaves(Game& game, bool allowed);
