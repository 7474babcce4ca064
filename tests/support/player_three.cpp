// Stage three's automated player dodges the kamikaze aliens and the beam,
// and once the drill has come it drills one column of the UFO while the UFO
// stands still for its beam attacks, until a shot gets through to the
// commander.
#include "support/player_three.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

using stage_three::Kamikaze;
using stage_three::KAMIKAZE_SLOTS;
using stage_three::StageThreeRecord;
using stage_three::UfoState;

struct StageThreeBot {
  StageThreeBot(Game& played, const StageThreeRecord& record) : game(played), stage(record) {}

  // Frames into the current beam attack, 1 ... 100; 0 when not attacking.
  int32_t attackFrame() const { return stage.ufo.state == UfoState::BeamAttack ? 100 - stage.ufo.timer : 0; }

  // Where the ship wants to be: under the commander, as far as the aliens
  // and the beam let it; before the drill a little aside.
  int32_t wantedX() const {
    if (stage.drillWeapon) return (stage.ufo.x + 2) / 4 * 4;
    return stage.ufo.x < 160 ? stage.ufo.x + 66 : stage.ufo.x - 62;
  }

  // Hits the ship would take in the frames to come if it moved by `move`
  // for `frames` frames and then stood still.
  int hitsAhead(int move, int frames) const {
    Kamikaze aliens[KAMIKAZE_SLOTS];
    std::copy(std::begin(stage.kamikaze), std::end(stage.kamikaze), std::begin(aliens));
    int32_t x = stage.ship.x;
    int32_t invulnerable = stage.ship.invulnerabilityTimer;
    int hits = 0;
    for (int n = 1; n <= 16; ++n) {
      if (n <= frames) x = std::min(304, std::max(16, x + move));
      // The beam: fired in phases 32 ... 74, the phase being attack frame - 10.
      int32_t phase = stage.beam.active ? stage.beam.phase + n : attackFrame() != 0 ? attackFrame() + n - 10 : -1;
      int32_t beamX = stage.beam.active ? stage.beam.x : stage.ufo.x;
      if (phase >= 32 && phase <= 74 && invulnerable == 0 && x >= beamX - 50 && x <= beamX + 52) {
        ++hits;
        invulnerable = 50;
      }
      for (Kamikaze& k : aliens) {
        if (!k.active) continue;
        ++k.age;
        k.y += 1 + (k.age > 10) + (k.age > 20) + (k.age > 30) + (k.age > 40) + (k.age > 50);
        if (invulnerable == 0 && k.x >= x - 24 && k.x <= x + 20 && k.y >= stage.ship.y - 16 &&
            k.y <= stage.ship.y + 12) {
          ++hits;
          invulnerable = 50;
          k.active = false;
        }
      }
      if (invulnerable > 0) --invulnerable;
    }
    return hits;
  }

  // Chooses the keys for the next frame.
  void operator()() {
    if (stage.result != StageResult::Running || stage.ship.state != stage_three::ShipState::InPlay) {
      releaseAll();
      return;
    }
    const int32_t target = wantedX();
    int best = 0;
    int bestCost = 1 << 30;
    for (int move : {0, -4, 4}) {
      int fewest = 1 << 30;
      for (int frames : {1, 3, 6, 10, 16}) fewest = std::min(fewest, hitsAhead(move, frames));
      int32_t x = std::min(304, std::max(16, stage.ship.x + move));
      int cost = fewest * 10000 + std::abs(x - target);
      if (cost < bestCost) {
        bestCost = cost;
        best = move;
      }
    }
    setKey(SC_LEFT, best < 0);
    setKey(SC_RIGHT, best > 0);
    setKey(SC_SPACE, !spaceHeld && !stage.shot.active && wantsToFire());
  }

  bool wantsToFire() const {
    const int32_t a = attackFrame();
    if (stage.drillWeapon && a != 0) return stage.ship.x == (stage.ufo.x + 2) / 4 * 4;
    // Otherwise clear the aliens above the ship.
    for (const Kamikaze& k : stage.kamikaze) {
      if (k.active && k.y > 100 && stage.ship.x - 2 >= k.x - 9 && stage.ship.x - 2 <= k.x + 8) return true;
    }
    return false;
  }

  void setKey(int scanCode, bool down) {
    bool& held = scanCode == SC_LEFT ? leftHeld : scanCode == SC_RIGHT ? rightHeld : spaceHeld;
    if (down && !held) pressKey(game, scanCode, scanCode == SC_SPACE ? " " : keyWithoutCharacter());
    if (!down && held) releaseKey(game, scanCode);
    held = down;
  }
  void releaseAll() {
    setKey(SC_LEFT, false);
    setKey(SC_RIGHT, false);
    setKey(SC_SPACE, false);
  }

  Game& game;
  const StageThreeRecord& stage;
  bool leftHeld = false, rightHeld = false, spaceHeld = false;
};

}  // namespace

StageResult playStageThreeAutomatically(Game& game, const StageWatcher<StageThreeRecord>& watch) {
  StageThreeRecord stage;
  StageThreeBot bot(game, stage);
  int32_t lastT = 0;
  bool answered = false;
  StageResult result = steerStage(
      game, stage, watch,
      [&] {
        answerContinue(game, stage.result == StageResult::GameOver, answered);
        if (stage.result == StageResult::GameOver) lastT = 0;  // the continue starts again from t = 1
        if (stage.t != lastT && stage.result != StageResult::Left) {
          lastT = stage.t;
          bot();
        }
      },
      stage_three::runStageThree);
  bot.releaseAll();
  return result;
}
