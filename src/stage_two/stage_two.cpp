// The frame loop of the tower descent and its ends: the goal, game over with
// the continue prompt, and the exit prompt.
#include "stage_two/stage_two.h"

#include "game/game.h"
#include "game/game_state.h"
#include "game/score_panel.h"
#include "game/stage_end.h"
#include "gfx/effects.h"
#include "gfx/text.h"
#include "machine/machine.h"
#include "stage_two/stage_two_internal.h"
#include "story/story.h"

namespace stage_two {

void startStageTwo(Game& game, Tower& tower, StageTwoRecord& stage) {
  buildTower(game, tower);
  stage.hero = newHero();
  stage.scroll = 0;
  stage.result = StageResult::Running;
  clearEffects(game);
  retireWalkers(stage);
  for (FallingBlock& block : stage.blocks) block = FallingBlock{};
}

void playStageTwoFrame(Game& game, Tower& tower, StageTwoRecord& stage) {
  if (keyHeld(game, SC_ESC)) stage.result = StageResult::ExitRequested;
  // The game ends 49 frames after the Hero went out; the walkers go on meanwhile.
  Hero& hero = stage.hero;
  if (hero.gameOverCountdown > 1) {
    hero.gameOverCountdown -= 1;
    if (hero.gameOverCountdown == 1) stage.result = StageResult::GameOver;
  }
  heroStompInput(game, hero);
  updateHero(game, tower, stage);
  drawTower(game, tower, stage.scroll, hero.shake);
  heroFootsteps(game, hero);
  heroDamage(game, hero);
  drawHero(game, hero, stage.scroll);
  updateFallingBlocks(game, tower, stage);
  riserStep(game, tower, stage);
  fallerStep(game, tower, stage);
  drawEffects(game, stage.scroll);
  drawScoreLine(game);
  drawHitPoints(game, hero.hitPoints);
  drawCreditLine(game);
}

Task<StageResult> runStageTwo(Game& game, Tower& tower, StageTwoRecord& stage) {
  // A game over asks to continue; yes starts the stage again.
  bool playOn = true;
  while (playOn) {
    startStageTwo(game, tower, stage);
    while (stage.result == StageResult::Running) {
      beginFrame(game);
      playStageTwoFrame(game, tower, stage);
      co_await endFrame(game, 30);
      if (stage.result == StageResult::ExitRequested) stage.result = co_await exitPromptResult(game);
    }
    playOn = co_await endOfStagePlay(game, stage.result);
  }
  retireWalkers(stage);
  if (stage.result == StageResult::Cleared) {
    co_await StoryScene(game, 1);
    co_await StoryScene(game, 2);
  }
  co_return stage.result;
}

}  // namespace stage_two

Task<StageResult> StageTwo(Game& game, stage_two::Tower& tower) {
  stage_two::StageTwoRecord stage;
  co_return co_await stage_two::runStageTwo(game, tower, stage);
}
