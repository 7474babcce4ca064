// A whole stage three played by an automated player in-process: it dodges the
// kamikaze aliens and the beam, and once the drill has come it drills one
// column of the UFO while the UFO stands still for its beam attacks, until a
// shot gets through to the commander. The ending scene follows the clear.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "game/game_state.h"
#include "stage_three/stage_three_internal.h"
#include "support/player_three.h"
#include "support/stage_three_helpers.h"

using namespace stage_three;

TEST(StageThreeAutoPlayer, ClearsTheStageAndTheEndingFollows) {
  TestSession session("", 6, true);
  Game& game = session.game;
  game.gameState.credits = 0;
  game.gameState.score = 2000;
  game.gameState.highScore = 3000;
  int64_t lastStageFrame = 0;
  int32_t lastT = 0;
  StageResult result = playStageThreeAutomatically(game, [&](const StageThreeRecord& stage, int64_t frame) {
    if (stage.t != lastT && stage.result != StageResult::Left) {
      lastT = stage.t;
      lastStageFrame = frame;
    }
  });
  EXPECT_EQ(result, StageResult::Cleared);
  EXPECT_GE(lastT, 1052);
  EXPECT_GE(game.gameState.score, 3000);
  EXPECT_EQ(game.gameState.highScore, game.gameState.score);
  // The ending drew its own frames after the stage's last one.
  EXPECT_GT(framesPresented(game), lastStageFrame + 10);
  // The new high score was saved as the stage ended, before the ending.
  EXPECT_NE(readFileText("hiscore.txt").find(std::to_string(game.gameState.score)), std::string::npos);
}
