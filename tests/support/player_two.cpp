// Stage two's automated player walks to column 9 and drops through floor
// after floor with z; where a wall post is in the way, it drops where the walk
// stops.
#include "support/player_two.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

using stage_two::HeroState;
using stage_two::StageTwoRecord;

struct StageTwoBot {
  Game& game;
  const StageTwoRecord& stage;
  bool left = false, right = false;
  int sinceZ = 0;
  int32_t lastX = -1;
  bool answered = false;

  void releaseAll() {
    holdKey(game, SC_LEFT, false, left);
    holdKey(game, SC_RIGHT, false, right);
  }

  void operator()() {
    ++sinceZ;
    answerContinue(game, stage.result == StageResult::GameOver, answered);
    if (stage.result != StageResult::Running || stage.hero.state != HeroState::Walking) {
      releaseAll();
      return;
    }
    const int32_t target = 9 * 16 + 8;
    int move = stage.hero.x < target - 1 ? 1 : stage.hero.x > target + 1 ? -1 : 0;
    bool blocked = move != 0 && stage.hero.x == lastX;
    lastX = stage.hero.x;
    holdKey(game, SC_LEFT, move < 0, left);
    holdKey(game, SC_RIGHT, move > 0, right);
    if ((move == 0 || blocked) && sinceZ > 3) {
      queueKeyValue(game, "z");
      sinceZ = 0;
    }
  }
};

}  // namespace

StageResult playStageTwoAutomatically(Game& game, stage_two::Tower& tower, const StageWatcher<StageTwoRecord>& watch) {
  StageTwoRecord stage;
  StageTwoBot bot{game, stage};
  StageResult result = steerStage(
      game, stage, watch, [&bot] { bot(); },
      [&tower](Game& played, StageTwoRecord& record) { return stage_two::runStageTwo(played, tower, record); });
  bot.releaseAll();
  return result;
}
