// The formation stage's scene: its start and restart, the frame loop with
// the bonus count after the last alien, game over with the continue prompt,
// the exit prompt, and story scene 0 once the stage is cleared.
#include "stage_one/stage_one.h"

#include <string>

#include "game/game.h"
#include "game/game_state.h"
#include "game/score_panel.h"
#include "game/stage_end.h"
#include "gfx/effects.h"
#include "gfx/text.h"
#include "machine/machine.h"
#include "stage_one/stage_one_internal.h"
#include "story/story.h"

namespace stage_one {

void enterStageOne(StageOneRecord& stage) {
  stage.spaceWasHeld = false;
  stage.formation.marchSoundIndex = 0;
  stage.shot.active = false;
  for (AlienShot& bomb : stage.bombs) bomb.active = false;
}

void startStageOne(Game& game, StageOneRecord& stage) {
  stage.formationDestroyed = false;
  stage.bonusCounter = 0;
  stage.result = StageResult::Running;
  clearEffects(game);
  game.gameState.score = 0;
  stage.ship.reserveShips = 3;
  stage.ship.x = 100;
  stage.ship.y = 206;
  stage.ship.state = ShipState::Appearing;
  stage.ship.frame = 0;
  stage.ship.deathCounter = 0;
  setUpFormation(stage);
}

void drawSky(Game& game) {
  for (int i = 0; i < 24; ++i) {
    const uint32_t red = 0x40 - 2 * (i + 1);
    const uint32_t green = 0x84 - 2 * (i + 1);
    const uint32_t blue = 0xC0 - 8 * (i + 1);
    const uint32_t colour = 0xFF000000u | (red << 16) | (green << 8) | blue;
    drawLine(game, nullptr, 0, 10 * i, 319, 10 * i + 9, colour, LineFilledBox);
  }
}

void bonusCount(Game& game, StageOneRecord& stage) {
  if (stage.ship.state != ShipState::InPlay || !stage.formationDestroyed) return;
  stage.bonusCounter += 1;
  const int32_t reserve = stage.ship.reserveShips;
  if (reserve >= 1) {
    if (stage.bonusCounter == 20) addScore(game, reserve * 100);
    if (stage.bonusCounter > 20) {
      drawText(game, 120, 90, "B O N U S", 0xFFFF00, Outline::No);
      drawText(game, 100, 110, "\x16\x17", 0xFFFF00, Outline::No);
      drawText(game, 116, 110, " x 100 = " + std::to_string(reserve * 100), 0x000000, Outline::Yes);
    }
  }
  if (stage.bonusCounter > 100) stage.result = StageResult::Cleared;
}

void playStageOneFrame(Game& game, StageOneRecord& stage) {
  drawSky(game);
  if (keyHeld(game, SC_ESC)) stage.result = StageResult::ExitRequested;
  bonusCount(game, stage);
  fireInput(game, stage);
  updateShip(game, stage);
  updatePlayerShot(game, stage);
  updateAliens(game, stage);
  updateBombs(game, stage);
  drawEffects(game, 0);
  followScore(game);
  drawScoreLine(game);
  drawReserveShips(game, stage.ship.reserveShips);
  drawCreditLine(game);
}

Task<StageResult> runStageOne(Game& game, StageOneRecord& stage) {
  enterStageOne(stage);
  // A game over asks to continue; yes starts the stage again.
  bool playOn = true;
  while (playOn) {
    startStageOne(game, stage);
    while (stage.result == StageResult::Running) {
      beginFrame(game);
      playStageOneFrame(game, stage);
      co_await endFrame(game, 30);
      if (stage.result == StageResult::ExitRequested) stage.result = co_await exitPromptResult(game);
    }
    playOn = co_await endOfStagePlay(game, stage.result);
  }
  if (stage.result == StageResult::Cleared) co_await StoryScene(game, 0);
  co_return stage.result;
}

}  // namespace stage_one

Task<StageResult> StageOne(Game& game) {
  stage_one::StageOneRecord stage;
  co_return co_await stage_one::runStageOne(game, stage);
}
