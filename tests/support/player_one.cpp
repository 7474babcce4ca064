// Stage one's automated player stands under the lowest alien, leads it by
// the formation's drift, fires at every chance and steps aside from bombs
// coming down close by.
#include "support/player_one.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

using stage_one::Alien;
using stage_one::AlienShot;
using stage_one::AlienState;
using stage_one::StageOneRecord;

struct StageOneBot {
  Game& game;
  const StageOneRecord& stage;
  bool left = false, right = false, space = false;
  bool answered = false;

  void releaseAll() {
    holdKey(game, SC_LEFT, false, left);
    holdKey(game, SC_RIGHT, false, right);
    holdKey(game, SC_SPACE, false, space);
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
    answerContinue(game, stage.result == StageResult::GameOver, answered);
    if (stage.result != StageResult::Running || stage.ship.state != stage_one::ShipState::InPlay) {
      releaseAll();
      return;
    }
    int away = dodge();
    int target = targetX();
    int move = away != 0 ? away : target > stage.ship.x + 3 ? 1 : target < stage.ship.x - 3 ? -1 : 0;
    holdKey(game, SC_LEFT, move < 0, left);
    holdKey(game, SC_RIGHT, move > 0, right);
    bool aimed = std::abs(target - stage.ship.x) <= 14 && away == 0;
    holdKey(game, SC_SPACE, !space && !stage.shot.active && aimed, space);
  }
};

}  // namespace

StageResult playStageOneAutomatically(Game& game, const StageWatcher<StageOneRecord>& watch) {
  StageOneRecord stage;
  StageOneBot bot{game, stage};
  StageResult result = steerStage(
      game, stage, watch, [&bot] { bot(); }, stage_one::runStageOne);
  bot.releaseAll();
  return result;
}
