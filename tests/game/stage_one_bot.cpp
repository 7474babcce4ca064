// Stage one: stand under the lowest alien, lead it by the formation's drift,
// fire at every chance, and step aside from bombs coming down close by.
#include <cstdlib>

#include "bots.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "stage_one/stage_one_play.h"

namespace {

struct StageOneBot {
  const StageOneField& field;
  bool left = false, right = false, space = false;
  bool answered = false;

  void releaseAll() {
    holdKey(SC_LEFT, false, left);
    holdKey(SC_RIGHT, false, right);
    holdKey(SC_SPACE, false, space);
  }

  int targetX() const {
    const Alien* lowest = nullptr;
    for (const Alien& a : field.aliens)
      if (a.alive && a.state != ALIEN_EXPLODING &&
          (lowest == nullptr || a.y > lowest->y ||
           (a.y == lowest->y && std::abs(a.x - field.ship.x) < std::abs(lowest->x - field.ship.x))))
        lowest = &a;
    if (lowest == nullptr) return field.ship.x;
    int frames = (field.ship.y - 10 - lowest->y) / 6;
    return lowest->x + field.formation.speed * field.formation.direction * frames;
  }

  // A bomb that would reach the ship's row over it: step away from it.
  int dodge() const {
    for (const AlienShot& b : field.bombs)
      if (b.active && b.y > field.ship.y - 90 && b.y < field.ship.y + 10 && std::abs(b.x - field.ship.x) <= 28)
        return b.x >= field.ship.x ? -1 : 1;
    return 0;
  }

  void operator()() {
    answerContinue(field.result == STAGE_GAME_OVER, answered);
    if (field.result != STAGE_RUNNING || field.ship.state != SHIP_IN_PLAY) {
      releaseAll();
      return;
    }
    int away = dodge();
    int target = targetX();
    int move = away != 0 ? away : target > field.ship.x + 3 ? 1 : target < field.ship.x - 3 ? -1 : 0;
    holdKey(SC_LEFT, move < 0, left);
    holdKey(SC_RIGHT, move > 0, right);
    bool aimed = std::abs(target - field.ship.x) <= 14 && away == 0;
    holdKey(SC_SPACE, !space && !field.shot.active && aimed, space);
  }
};

}  // namespace

void playStageOneAutomatically(int32_t& result) {
  StageOneField field;
  StageOneBot bot{field};
  steerEachFrame([&bot] { bot(); });
  runStageOne(field, result);
  setFrameHook(nullptr);
  bot.releaseAll();
}
