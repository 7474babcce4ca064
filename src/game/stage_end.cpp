#include "game/stage_end.h"

#include "game/hiscore.h"
#include "game/prompts.h"
#include "machine/machine.h"

bool endOfStagePlay(StageResult result) {
  emptyKeyQueue();
  setPages(0, 0);
  saveHighScoreIfReached();
  if (result != StageResult::GameOver) return false;
  drawGameOverBox();
  sleepMs(1000);
  return askContinue();
}

StageResult exitPromptResult() { return askExitToTitle() ? StageResult::Left : StageResult::Running; }
