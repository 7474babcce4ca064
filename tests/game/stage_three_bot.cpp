// Stage three: the stage's own automated player, fed once per stage frame.
#include "bots.h"
#include "stage_three/auto_player.h"

void playStageThreeAutomatically(int32_t& result) {
  StageThreeState state;
  AutoPlayer player(state);
  int32_t lastT = 0;
  bool answered = false;
  steerEachFrame([&] {
    answerContinue(state.result == STAGE_GAME_OVER, answered);
    if (state.result == STAGE_GAME_OVER) lastT = 0;  // the continue starts again from t = 1
    if (state.t != lastT && state.result != STAGE_LEFT) {
      lastT = state.t;
      player();
    }
  });
  runStageThree(state, result);
  setFrameHook(nullptr);
  player.releaseAll();
}
