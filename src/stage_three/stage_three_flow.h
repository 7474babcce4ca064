// The huge-UFO stage's start, frame loop and ends, with a stage record the
// caller owns, so that a watcher can follow the play frame by frame.
#pragma once

#include <cstdint>

#include "stage_three/stage_three_records.h"

// The whole stage, as StageThree runs it. The record's images are released
// on return.
void runStageThree(StageThreeState& s, int32_t& result);

// Entering the stage once: every record cleared.
void enterStageThree(StageThreeState& s);
// Starting (again after a continue): warning, ship set-up, a whole UFO.
void startStageThree(StageThreeState& s);
// One whole frame of play, from raising t to the exit prompt.
void stageThreeFrame(StageThreeState& s);

// The pieces of scenery of a frame.
void drawStageThreeSky();
void drawDoneBalloon(const StageThreeState& s);
void warningStep(StageThreeState& s);
