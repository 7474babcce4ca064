// The frame loop of the tower descent and its ends: the goal, game over with
// the continue prompt, and the exit prompt.
#include "stage_two/stage_two.h"

#include "game/game_state.h"
#include "game/score_panel.h"
#include "game/stage_end.h"
#include "gfx/effects.h"
#include "gfx/text.h"
#include "machine/machine.h"
#include "stage_two/stage_two_internal.h"
#include "story/story.h"

namespace stage_two {

void startStageTwo(StageTwoRecord& stage) {
  buildTower();
  stage.hero = newHero();
  stage.scroll = 0;
  stage.result = StageResult::Running;
  clearEffects();
  retireWalkers(stage);
  for (FallingBlock& block : stage.blocks) block = FallingBlock{};
}

void playStageTwoFrame(StageTwoRecord& stage) {
  if (keyHeld(SC_ESC)) stage.result = StageResult::ExitRequested;
  // The game ends 49 frames after the Hero went out; the walkers go on meanwhile.
  Hero& hero = stage.hero;
  if (hero.gameOverCountdown > 1) {
    hero.gameOverCountdown -= 1;
    if (hero.gameOverCountdown == 1) stage.result = StageResult::GameOver;
  }
  heroStompInput(hero);
  updateHero(stage);
  drawTower(stage.scroll, hero.shake);
  heroFootsteps(hero);
  heroDamage(hero);
  drawHero(hero, stage.scroll);
  updateFallingBlocks(stage);
  riserStep(stage);
  fallerStep(stage);
  drawEffects(stage.scroll);
  drawScoreLine();
  drawHitPoints(hero.hitPoints);
  drawCreditLine();
}

StageResult runStageTwo(StageTwoRecord& stage) {
  do {
    startStageTwo(stage);
    while (stage.result == StageResult::Running) {
      beginFrame();
      playStageTwoFrame(stage);
      endFrame(30);
      if (stage.result == StageResult::ExitRequested) stage.result = exitPromptResult();
    }
  } while (endOfStagePlay(stage.result));
  retireWalkers(stage);
  if (stage.result == StageResult::Cleared) {
    StoryScene(1);
    StoryScene(2);
  }
  return stage.result;
}

}  // namespace stage_two

StageResult StageTwo() {
  stage_two::StageTwoRecord stage;
  return stage_two::runStageTwo(stage);
}
