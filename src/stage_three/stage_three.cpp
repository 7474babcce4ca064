// The huge-UFO stage: start, frame loop, game over with continue, and the
// ending once the commander has fallen.
#include "stage_three/stage_three.h"

#include "game/game.h"
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

void startStageThree(Game& game, StageThreeRecord& stage) {
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
  clearEffects(game);
  for (Kamikaze& k : stage.kamikaze) k.active = false;
  for (bool& armed : stage.ufo.hatchArmed) armed = false;
  buildUfoImages(game, stage);
}

void playStageThreeFrame(Game& game, StageThreeRecord& stage) {
  stage.t += 1;
  beginFrame(game);
  drawStageThreeSky(game);
  drawDoneBalloon(game, stage);
  if (keyHeld(game, SC_ESC)) stage.result = StageResult::ExitRequested;
  // A result set later in the frame wins: both countdowns ending together clear the stage.
  if (stage.deathCountdown > 1) {
    stage.deathCountdown -= 1;
    if (stage.deathCountdown == 1) stage.result = StageResult::GameOver;
  }
  if (stage.victoryCountdown > 1) {
    stage.victoryCountdown -= 1;
    if (stage.victoryCountdown == 1) stage.result = StageResult::Cleared;
  }
  updateUfo(game, stage);
  followCommander(stage);
  updateHatches(stage);
  drawUfoBody(game, stage);  // before the shot, whose test reads the body off the page
  updateShip(game, stage);
  updateShot(game, stage);
  commanderBurst(game, stage);
  drawUfoTop(game, stage);
  updateBeam(game, stage);
  drawHatches(game, stage);
  drawShot(game, stage);
  updateKamikazes(game, stage);
  if (stage.ship.invulnerabilityTimer > 0) stage.ship.invulnerabilityTimer -= 1;
  drawShip(game, stage);
  updatePod(game, stage);
  drawEffects(game, 0);
  warningStep(game, stage);
  drawScoreLine(game);
  drawReserveShips(game, stage.ship.reserveShips);
  drawCreditLine(game);
}

Task<> stageThreeFrame(Game& game, StageThreeRecord& stage) {
  playStageThreeFrame(game, stage);
  // Ctrl: as fast as it draws; left Shift: about a frame a second.
  co_await endFrame(game, keyHeld(game, SC_CTRL) ? 0 : 30);
  if (keyHeld(game, SC_LSHIFT)) co_await sleepMs(game, 1000);
  if (stage.result == StageResult::ExitRequested) stage.result = co_await exitPromptResult(game);
}

Task<StageResult> runStageThree(Game& game, StageThreeRecord& stage) {
  enterStageThree(stage);
  // A game over asks to continue; yes starts the stage again.
  bool playOn = true;
  while (playOn) {
    startStageThree(game, stage);
    while (stage.result == StageResult::Running) co_await stageThreeFrame(game, stage);
    playOn = co_await endOfStagePlay(game, stage.result);
  }
  if (stage.result == StageResult::Cleared) co_await StoryScene(game, 3);
  destroyUfoImages(stage);
  co_return stage.result;
}

}  // namespace stage_three

Task<StageResult> StageThree(Game& game) {
  stage_three::StageThreeRecord stage;
  co_return co_await stage_three::runStageThree(game, stage);
}
