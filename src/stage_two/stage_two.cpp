// The frame loop of the tower descent and its ends: the goal, game over with
// the continue prompt, and the exit prompt.
#include "stage_two/stage_two.h"

#include "gfx/effects.h"
#include "gfx/text.h"
#include "game/game_state.h"
#include "game/hiscore.h"
#include "platform/platform.h"
#include "game/prompts.h"
#include "game/score_panel.h"
#include "stage_two/enemies.h"
#include "stage_two/hero.h"
#include "stage_two/tower_draw.h"
#include "stage_two/tower_map.h"
#include "story/story.h"

void startStageTwo(StageTwoPlay& play) {
  buildTower();
  play.hero = newHero();
  play.scroll = 0;
  play.result = STAGE_RUNNING;
  clearEffects();
  retireWalkers(play);
  for (FallingBlock& block : play.blocks) block = FallingBlock{};
}

void playStageTwoFrame(StageTwoPlay& play) {
  if (keyHeld(SC_ESC)) play.result = STAGE_EXIT_REQUESTED;
  // The game ends 49 frames after the Hero went out; the walkers go on meanwhile.
  Hero& hero = play.hero;
  if (hero.gameOverCountdown > 1) {
    hero.gameOverCountdown -= 1;
    if (hero.gameOverCountdown == 1) play.result = STAGE_GAME_OVER;
  }
  heroStompInput(hero);
  updateHero(play);
  drawTower(play.scroll, hero.shake);
  heroFootsteps(hero);
  heroDamage(hero);
  drawHero(hero, play.scroll);
  updateFallingBlocks(play);
  riserStep(play);
  fallerStep(play);
  drawEffects(play.scroll);
  drawScoreLine();
  drawHitPoints(hero.hitPoints);
  drawCreditLine();
}

void runStageTwo(StageTwoPlay& play, int32_t& result) {
  bool continued = true;
  while (continued) {
    continued = false;
    startStageTwo(play);
    while (play.result == STAGE_RUNNING) {
      beginFrame();
      playStageTwoFrame(play);
      endFrame(30);
      if (play.result == STAGE_EXIT_REQUESTED) askExitToTitle(play.result);
    }
    emptyKeyQueue();
    setPages(0, 0);
    saveHighScoreIfReached();
    if (play.result == STAGE_GAME_OVER) {
      drawGameOverBox();
      sleepMs(1000);
      int32_t answer = 0;
      askContinue(answer);
      continued = answer != 0;
    }
    retireWalkers(play);
  }
  if (play.result == STAGE_CLEARED) {
    StoryScene(1);
    StoryScene(2);
  }
  result = play.result;
}

void StageTwo(int32_t& result) {
  StageTwoPlay play;
  runStageTwo(play, result);
}
