#include "game/stage_end.h"

#include "game/game.h"
#include "game/hiscore.h"
#include "game/prompts.h"
#include "machine/machine.h"

bool endOfStagePlay(Game& game, StageResult result) {
  emptyKeyQueue(game);
  setPages(game, 0, 0);
  saveHighScoreIfReached(game);
  if (result != StageResult::GameOver) return false;
  drawGameOverBox(game);
  sleepMs(game, 1000);
  return askContinue(game);
}

StageResult exitPromptResult(Game& game) { return askExitToTitle(game) ? StageResult::Left : StageResult::Running; }
