// The automated player of stage three, steering from the stage's own record
// through the frame hook; the stage's tests and the whole-game test share it.
#pragma once

#include "stage_three/stage_three_internal.h"
#include "support/steering.h"

StageResult playStageThreeAutomatically(Game& game, const StageWatcher<stage_three::StageThreeRecord>& watch = {});
