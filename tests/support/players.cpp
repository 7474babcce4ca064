// The automated players. Stage one stands under the lowest alien, leads it by
// the formation's drift, fires at every chance and steps aside from bombs
// coming down close by. Stage two walks to column 9 and drops through floor
// after floor with z; where a wall post is in the way, it drops where the walk
// stops. Stage three dodges the kamikaze aliens and the beam, and once the
// drill has come it drills one column of the UFO while the UFO stands still
// for its beam attacks, until a shot gets through to the commander.
#include "support/players.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>

#include "platform/harness.h"
#include "platform/platform.h"

bool choosingKeys = false;

namespace {

// Called by a player in every frame: once its stage ends in a game over, a "y"
// is scheduled for the continue prompt that follows the game-over pause.
void answerContinue(bool gameOver, bool& answered) {
  if (gameOver && !answered) scheduleInput(std::to_string(virtualMs() + 1500) + " type y\n");
  answered = gameOver;
}

// Holds or lets go of a key the way a keyboard does (with its typed value).
void holdKey(int scanCode, bool down, bool& held) {
  if (down && !held) pressKey(scanCode, scanCode == SC_SPACE ? " " : keyWithoutCharacter());
  if (!down && held) releaseKey(scanCode);
  held = down;
}

// Runs `run` on `stage` with `choose` picking the keys after every presented
// frame (choosingKeys set meanwhile), then takes the hook away.
template <typename Record, typename Choose, typename Run>
StageResult steerStage(Record& stage, const StageWatcher<Record>& watch, Choose choose, Run run) {
  setFrameHook([&](int64_t frame) {
    if (watch) watch(stage, frame);
    choosingKeys = true;
    choose();
    choosingKeys = false;
  });
  StageResult result = run(stage);
  setFrameHook(nullptr);
  return result;
}

using stage_one::Alien;
using stage_one::AlienShot;
using stage_one::AlienState;
using stage_one::StageOneRecord;

struct StageOneBot {
  const StageOneRecord& stage;
  bool left = false, right = false, space = false;
  bool answered = false;

  void releaseAll() {
    holdKey(SC_LEFT, false, left);
    holdKey(SC_RIGHT, false, right);
    holdKey(SC_SPACE, false, space);
  }

  int targetX() const {
    const Alien* lowest = nullptr;
    for (const Alien& a : stage.aliens)
      if (a.alive && a.state != AlienState::Exploding &&
          (lowest == nullptr || a.y > lowest->y ||
           (a.y == lowest->y && std::abs(a.x - stage.ship.x) < std::abs(lowest->x - stage.ship.x))))
        lowest = &a;
    if (lowest == nullptr) return stage.ship.x;
    int frames = (stage.ship.y - 10 - lowest->y) / 6;
    return lowest->x + stage.formation.speed * stage.formation.direction * frames;
  }

  // A bomb that would reach the ship's row over it: step away from it.
  int dodge() const {
    for (const AlienShot& b : stage.bombs)
      if (b.active && b.y > stage.ship.y - 90 && b.y < stage.ship.y + 10 && std::abs(b.x - stage.ship.x) <= 28)
        return b.x >= stage.ship.x ? -1 : 1;
    return 0;
  }

  void operator()() {
    answerContinue(stage.result == StageResult::GameOver, answered);
    if (stage.result != StageResult::Running || stage.ship.state != stage_one::ShipState::InPlay) {
      releaseAll();
      return;
    }
    int away = dodge();
    int target = targetX();
    int move = away != 0 ? away : target > stage.ship.x + 3 ? 1 : target < stage.ship.x - 3 ? -1 : 0;
    holdKey(SC_LEFT, move < 0, left);
    holdKey(SC_RIGHT, move > 0, right);
    bool aimed = std::abs(target - stage.ship.x) <= 14 && away == 0;
    holdKey(SC_SPACE, !space && !stage.shot.active && aimed, space);
  }
};

using stage_two::HeroState;
using stage_two::StageTwoRecord;

struct StageTwoBot {
  const StageTwoRecord& stage;
  bool left = false, right = false;
  int sinceZ = 0;
  int32_t lastX = -1;
  bool answered = false;

  void releaseAll() {
    holdKey(SC_LEFT, false, left);
    holdKey(SC_RIGHT, false, right);
  }

  void operator()() {
    ++sinceZ;
    answerContinue(stage.result == StageResult::GameOver, answered);
    if (stage.result != StageResult::Running || stage.hero.state != HeroState::Walking) {
      releaseAll();
      return;
    }
    const int32_t target = 9 * 16 + 8;
    int move = stage.hero.x < target - 1 ? 1 : stage.hero.x > target + 1 ? -1 : 0;
    bool blocked = move != 0 && stage.hero.x == lastX;
    lastX = stage.hero.x;
    holdKey(SC_LEFT, move < 0, left);
    holdKey(SC_RIGHT, move > 0, right);
    if ((move == 0 || blocked) && sinceZ > 3) {
      queueKeyValue("z");
      sinceZ = 0;
    }
  }
};

using stage_three::Kamikaze;
using stage_three::KAMIKAZE_SLOTS;
using stage_three::StageThreeRecord;
using stage_three::UfoState;

struct StageThreeBot {
  explicit StageThreeBot(const StageThreeRecord& record) : stage(record) {}

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
    if (down && !held) pressKey(scanCode, scanCode == SC_SPACE ? " " : keyWithoutCharacter());
    if (!down && held) releaseKey(scanCode);
    held = down;
  }
  void releaseAll() {
    setKey(SC_LEFT, false);
    setKey(SC_RIGHT, false);
    setKey(SC_SPACE, false);
  }

  const StageThreeRecord& stage;
  bool leftHeld = false, rightHeld = false, spaceHeld = false;
};

}  // namespace

StageResult playStageOneAutomatically(const StageWatcher<StageOneRecord>& watch) {
  StageOneRecord stage;
  StageOneBot bot{stage};
  StageResult result = steerStage(
      stage, watch, [&bot] { bot(); }, stage_one::runStageOne);
  bot.releaseAll();
  return result;
}

StageResult playStageTwoAutomatically(const StageWatcher<StageTwoRecord>& watch) {
  StageTwoRecord stage;
  StageTwoBot bot{stage};
  StageResult result = steerStage(
      stage, watch, [&bot] { bot(); }, stage_two::runStageTwo);
  bot.releaseAll();
  return result;
}

StageResult playStageThreeAutomatically(const StageWatcher<StageThreeRecord>& watch) {
  StageThreeRecord stage;
  StageThreeBot bot(stage);
  int32_t lastT = 0;
  bool answered = false;
  StageResult result = steerStage(
      stage, watch,
      [&] {
        answerContinue(stage.result == StageResult::GameOver, answered);
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
