// The huge-UFO stage: start, frame loop, game over with continue, and the
// ending once the commander has fallen.
#include "stage_three/stage_three.h"

#include "gfx/effects.h"
#include "gfx/text.h"
#include "game/game_state.h"
#include "game/hiscore.h"
#include "game/prompts.h"
#include "game/score_panel.h"
#include "stage_three/huge_ufo.h"
#include "stage_three/stage_three_flow.h"
#include "stage_three/stage_three_play.h"
#include "story/story.h"

void enterStageThree(StageThreeState& s) {
  destroyUfoImages(s);
  s = StageThreeState{};
}

void startStageThree(StageThreeState& s) {
  // A continue keeps where the UFO was and how it swung; it waits above the
  // screen until the warning has run again.
  s.continueAnswer = 0;
  s.ship.state = SHIP_SETUP;
  s.ufo.state = UFO_IDLE;
  s.ufo.y = -40;
  s.beam.active = FLAG_CLEAR;
  s.result = STAGE_RUNNING;
  s.deathCountdown = 0;
  s.victoryCountdown = 0;
  s.t = 0;
  s.drillWeapon = FLAG_CLEAR;
  s.warningTimer = 230;
  clearEffects();
  for (Kamikaze& k : s.kamikaze) k.active = FLAG_CLEAR;
  for (int32_t& armed : s.ufo.hatchArmed) armed = FLAG_CLEAR;
  buildUfoImages(s);
}

void stageThreeFrame(StageThreeState& s) {
  s.t += 1;
  beginFrame();
  drawStageThreeSky();
  drawDoneBalloon(s);
  if (keyHeld(SC_ESC)) s.result = STAGE_EXIT_REQUESTED;
  // A result set later in the frame wins: both countdowns ending together clear the stage.
  if (s.deathCountdown > 1) {
    s.deathCountdown -= 1;
    if (s.deathCountdown == 1) s.result = STAGE_GAME_OVER;
  }
  if (s.victoryCountdown > 1) {
    s.victoryCountdown -= 1;
    if (s.victoryCountdown == 1) s.result = STAGE_CLEARED;
  }
  updateUfo(s);
  followCommander(s);
  updateHatches(s);
  drawUfoBody(s);  // before the shot, whose test reads the body off the page
  updateShip(s);
  updateShot(s);
  commanderBurst(s);
  drawUfoTop(s);
  updateBeam(s);
  drawHatches(s);
  drawShot(s);
  updateKamikazes(s);
  if (s.ship.invulnerabilityTimer > 0) s.ship.invulnerabilityTimer -= 1;
  drawShip(s);
  updatePod(s);
  drawEffects(0);
  warningStep(s);
  drawScoreLine();
  drawReserveShips(s.ship.reserveShips);
  drawCreditLine();
  // Ctrl: as fast as it draws; left Shift: about a frame a second.
  endFrame(keyHeld(SC_CTRL) ? 0 : 30);
  if (keyHeld(SC_LSHIFT)) sleepMs(1000);
  if (s.result == STAGE_EXIT_REQUESTED) askExitToTitle(s.result);
}

void runStageThree(StageThreeState& s, int32_t& result) {
  enterStageThree(s);
  for (;;) {
    startStageThree(s);
    while (s.result == STAGE_RUNNING) stageThreeFrame(s);
    emptyKeyQueue();
    setPages(0, 0);
    saveHighScoreIfReached();
    if (s.result != STAGE_GAME_OVER) break;
    drawGameOverBox();
    sleepMs(1000);
    askContinue(s.continueAnswer);
    if (!s.continueAnswer) break;
  }
  if (s.result == STAGE_CLEARED) StoryScene(3);
  destroyUfoImages(s);
  result = s.result;
}

void StageThree(int32_t& result) {
  StageThreeState s;
  runStageThree(s, result);
}
