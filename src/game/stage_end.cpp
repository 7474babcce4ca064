#include "game/stage_end.h"

#include "game/game.h"
#include "game/hiscore.h"
#include "game/prompts.h"
#include "machine/machine.h"

Task<bool> endOfStagePlay(Game& game, StageResult result) {
  emptyKeyQueue(game);
  setPages(game, 0, 0);
  saveHighScoreIfReached(game);
  if (result != StageResult::GameOver) co_return false;
  drawGameOverBox(game);
  co_await sleepMs(game, 1000);
  co_return co_await askContinue(game);
}

Task<StageResult> exitPromptResult(Game& game) {
  const bool leave = co_await askExitToTitle(game);
  co_return leave ? StageResult::Left : StageResult::Running;
}
