// Stage two: walk to column 9 and drop through floor after floor with z; where
// a wall post is in the way, drop where it stops the walk.
#include <cstdlib>
#include <string>

#include "bots.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "stage_two/stage_two.h"

namespace {

struct StageTwoBot {
  const StageTwoPlay& play;
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
    answerContinue(play.result == STAGE_GAME_OVER, answered);
    if (play.result != STAGE_RUNNING || play.hero.state != HeroWalking) {
      releaseAll();
      return;
    }
    const int32_t target = 9 * 16 + 8;
    int move = play.hero.x < target - 1 ? 1 : play.hero.x > target + 1 ? -1 : 0;
    bool blocked = move != 0 && play.hero.x == lastX;
    lastX = play.hero.x;
    holdKey(SC_LEFT, move < 0, left);
    holdKey(SC_RIGHT, move > 0, right);
    if ((move == 0 || blocked) && sinceZ > 3) {
      queueKeyValue("z");
      sinceZ = 0;
    }
  }
};

}  // namespace

void playStageTwoAutomatically(int32_t& result) {
  StageTwoPlay play;
  StageTwoBot bot{play};
  steerEachFrame([&bot] { bot(); });
  runStageTwo(play, result);
  setFrameHook(nullptr);
  bot.releaseAll();
}
