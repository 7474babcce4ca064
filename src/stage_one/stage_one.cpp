// The formation stage's scene: its start and restart, the frame loop with
// the bonus count after the last alien, game over with the continue prompt,
// the exit prompt, and story scene 0 once the stage is cleared.
#include "stage_one/stage_one.h"

#include <string>

#include "gfx/effects.h"
#include "gfx/text.h"
#include "game/game_state.h"
#include "game/hiscore.h"
#include "platform/platform.h"
#include "game/prompts.h"
#include "game/score_panel.h"
#include "stage_one/stage_one_play.h"
#include "story/story.h"

void enterStageOne(StageOneField& field) {
  field.spaceWasHeld = 0;
  field.formation.marchSoundIndex = 0;
  field.shot.active = 0;
  for (AlienShot& bomb : field.bombs) bomb.active = 0;
}

void startStageOne(StageOneField& field) {
  field.continueAnswer = 0;
  field.formationDestroyed = 0;
  field.bonusCounter = 0;
  field.result = STAGE_RUNNING;
  clearEffects();
  gameState.score = 0;
  field.ship.reserveShips = 3;
  field.ship.x = 100;
  field.ship.y = 206;
  field.ship.state = SHIP_APPEARING;
  field.ship.frame = 0;
  field.ship.deathCounter = 0;
  setUpFormation(field);
}

void drawSky() {
  for (int i = 0; i < 24; ++i) {
    const uint32_t red = 0x40 - 2 * (i + 1);
    const uint32_t green = 0x84 - 2 * (i + 1);
    const uint32_t blue = 0xC0 - 8 * (i + 1);
    const uint32_t colour = 0xFF000000u | (red << 16) | (green << 8) | blue;
    drawLine(nullptr, 0, 10 * i, 319, 10 * i + 9, colour, LineFilledBox);
  }
}

void bonusCount(StageOneField& field) {
  if (field.ship.state != SHIP_IN_PLAY || field.formationDestroyed == 0) return;
  field.bonusCounter += 1;
  const int32_t reserve = field.ship.reserveShips;
  if (reserve >= 1) {
    if (field.bonusCounter == 20) addScore(reserve * 100);
    if (field.bonusCounter > 20) {
      drawText(120, 90, "B O N U S", 0xFFFF00, 0);
      drawText(100, 110, "\x16\x17", 0xFFFF00, 0);
      drawText(116, 110, " x 100 = " + std::to_string(reserve * 100), 0x000000, -1);
    }
  }
  if (field.bonusCounter > 100) field.result = STAGE_CLEARED;
}

void playStageOneFrame(StageOneField& field) {
  drawSky();
  if (keyHeld(SC_ESC)) field.result = STAGE_EXIT_REQUESTED;
  bonusCount(field);
  fireInput(field);
  updateShip(field);
  updatePlayerShot(field);
  updateAliens(field);
  updateBombs(field);
  drawEffects(0);
  if (gameState.score > gameState.highScore) gameState.highScore = gameState.score;
  drawScoreLine();
  drawReserveShips(field.ship.reserveShips);
  drawCreditLine();
}

void runStageOne(StageOneField& field, int32_t& result) {
  enterStageOne(field);
  for (;;) {
    startStageOne(field);
    while (field.result == STAGE_RUNNING) {
      beginFrame();
      playStageOneFrame(field);
      endFrame(30);
      if (field.result == STAGE_EXIT_REQUESTED) askExitToTitle(field.result);
    }
    emptyKeyQueue();
    setPages(0, 0);
    saveHighScoreIfReached();
    if (field.result == STAGE_CLEARED) StoryScene(0);
    if (field.result == STAGE_GAME_OVER) {
      drawGameOverBox();
      sleepMs(1000);
      askContinue(field.continueAnswer);
      if (field.continueAnswer != 0) continue;
    }
    break;
  }
  result = field.result;
}

void StageOne(int32_t& result) {
  StageOneField field;
  runStageOne(field, result);
}
