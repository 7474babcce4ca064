// The automated player of stage two, steering from the stage's own record
// through the frame hook; the stage's tests and the whole-game test share it.
#pragma once

#include "stage_two/stage_two_internal.h"
#include "support/steering.h"

StageResult playStageTwoAutomatically(Game& game, stage_two::Tower& tower,
                                      const StageWatcher<stage_two::StageTwoRecord>& watch = {});
