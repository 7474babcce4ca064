// The huge-UFO stage: start, frame loop, game over with continue, and the
// ending once the commander has fallen.
#include "stage_three/stage_three.h"

#include "game/game_state.h"
#include "game/score_panel.h"
#include "game/stage_end.h"
#include "gfx/effects.h"
#include "gfx/text.h"
#include "stage_three/stage_three_internal.h"
#include "story/story.h"

namespace stage_three {

void enterStageThree(StageThreeRecord& stage) {
  destroyUfoImages(stage);
  stage = StageThreeRecord{};
}

void startStageThree(StageThreeRecord& stage) {
  // A continue keeps where the UFO was and how it swung; it waits above the
  // screen until the warning has run again.
  stage.ship.state = ShipState::Setup;
  stage.ufo.state = UfoState::Idle;
  stage.ufo.y = -40;
  stage.beam.active = false;
  stage.result = StageResult::Running;
  stage.deathCountdown = 0;
  stage.victoryCountdown = 0;
  stage.t = 0;
  stage.drillWeapon = false;
  stage.warningTimer = 230;
  clearEffects();
  for (Kamikaze& k : stage.kamikaze) k.active = false;
  for (bool& armed : stage.ufo.hatchArmed) armed = false;
  buildUfoImages(stage);
}

void stageThreeFrame(StageThreeRecord& stage) {
  stage.t += 1;
  beginFrame();
  drawStageThreeSky();
  drawDoneBalloon(stage);
  if (keyHeld(SC_ESC)) stage.result = StageResult::ExitRequested;
  // A result set later in the frame wins: both countdowns ending together clear the stage.
  if (stage.deathCountdown > 1) {
    stage.deathCountdown -= 1;
    if (stage.deathCountdown == 1) stage.result = StageResult::GameOver;
  }
  if (stage.victoryCountdown > 1) {
    stage.victoryCountdown -= 1;
    if (stage.victoryCountdown == 1) stage.result = StageResult::Cleared;
  }
  updateUfo(stage);
  followCommander(stage);
  updateHatches(stage);
  drawUfoBody(stage);  // before the shot, whose test reads the body off the page
  updateShip(stage);
  updateShot(stage);
  commanderBurst(stage);
  drawUfoTop(stage);
  updateBeam(stage);
  drawHatches(stage);
  drawShot(stage);
  updateKamikazes(stage);
  if (stage.ship.invulnerabilityTimer > 0) stage.ship.invulnerabilityTimer -= 1;
  drawShip(stage);
  updatePod(stage);
  drawEffects(0);
  warningStep(stage);
  drawScoreLine();
  drawReserveShips(stage.ship.reserveShips);
  drawCreditLine();
  // Ctrl: as fast as it draws; left Shift: about a frame a second.
  endFrame(keyHeld(SC_CTRL) ? 0 : 30);
  if (keyHeld(SC_LSHIFT)) sleepMs(1000);
  if (stage.result == StageResult::ExitRequested) stage.result = exitPromptResult();
}

StageResult runStageThree(StageThreeRecord& stage) {
  enterStageThree(stage);
  do {
    startStageThree(stage);
    while (stage.result == StageResult::Running) stageThreeFrame(stage);
  } while (endOfStagePlay(stage.result));
  if (stage.result == StageResult::Cleared) StoryScene(3);
  destroyUfoImages(stage);
  return stage.result;
}

}  // namespace stage_three

StageResult StageThree() {
  stage_three::StageThreeRecord stage;
  return stage_three::runStageThree(stage);
}
