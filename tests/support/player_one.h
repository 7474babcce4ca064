// The automated player of stage one, steering from the stage's own record
// through the frame hook; the stage's tests and the whole-game test share it.
#pragma once

#include "stage_one/stage_one_internal.h"
#include "support/steering.h"

StageResult playStageOneAutomatically(Game& game, const StageWatcher<stage_one::StageOneRecord>& watch = {});
