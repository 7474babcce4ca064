// hiscore.txt. Reading only ever reads: a missing (or empty) file is created
// with 1000, a file that is there but cannot be read counts as 1000 for this
// run and is left alone, and one that cannot be replaced (a read-only file
// or folder) is shown but never written. A save replaces the file
// atomically, so a crash, a power cut or a full disk keeps the previous
// high score.
#include "game/hiscore.h"

#include "base/messages.h"
#include "formats/hiscore_text.h"
#include "game/game.h"
#include "game/game_state.h"
#include "machine/machine.h"

namespace {

constexpr int32_t DEFAULT_HIGH_SCORE = 1000;

void warnOnce(Game& game, const std::string& message) {
  if (game.highScoreStorage.warned) return;
  game.highScoreStorage.warned = true;
  warn(message);
}

void saveHighScoreTo(Game& game, const std::string& path, int32_t value) {
  std::string why = whyNotReplaceable(path, HIGH_SCORE_FILE_CAP);
  if (!why.empty()) {
    warnOnce(game, "the high score cannot be saved in " + path + ": " + why);
    return;
  }
  Outcome saved = replaceFile(path, highScoreText(value), game.highScoreStorage.replaceStepHook);
  if (!saved.ok()) warnOnce(game, "cannot save the high score in " + path + ": " + saved.why());
}

}  // namespace

void saveHighScore(Game& game, int32_t value) {
  if (game.highScoreStorage.savesAllowed) saveHighScoreTo(game, game.highScoreStorage.path, value);
}

void setHighScoreFile(Game& game, const std::string& path) { game.highScoreStorage.path = path; }

void allowHighScoreSaves(Game& game, bool allowed) { game.highScoreStorage.savesAllowed = allowed; }

void saveHighScoreIfReached(Game& game) {
  if (game.gameState.score == game.gameState.highScore) saveHighScore(game, game.gameState.highScore);
}

int32_t loadHighScore(Game& game) {
  const std::string& path = game.highScoreStorage.path;
  game.highScoreStorage.warned = false;
  std::string text;
  FileRead read = readRegularFile(path, HIGH_SCORE_FILE_CAP, text);
  if (read == FileRead::Missing || (read == FileRead::Ok && text.empty())) {
    saveHighScore(game, DEFAULT_HIGH_SCORE);
    return DEFAULT_HIGH_SCORE;
  }
  if (read != FileRead::Ok) {
    warnOnce(game, "cannot read the high score from " + path + " (" + fileReadReason(read, HIGH_SCORE_FILE_CAP) +
                       "): 1000 for now, the file is left as it is");
    return DEFAULT_HIGH_SCORE;
  }
  const int32_t highScore = highScoreFromText(text);
  std::string why = whyNotReplaceable(path, HIGH_SCORE_FILE_CAP);
  if (!why.empty()) warnOnce(game, "the high score in " + path + " cannot be saved: " + why);
  return highScore;
}
