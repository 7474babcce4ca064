// The two walkers that hunt the Hero and the red blocks it knocks out of the
// floor. Each frame the stage runs the falling blocks, then the Riser, then
// the Faller; each step also draws its objects.
#pragma once

#include <cstdint>

#include "stage_two/play_records.h"

// Starts a block in the first free slot; with all 17 falling, nothing starts.
void startFallingBlock(StageTwoPlay& play, int32_t x, int32_t y);
void updateFallingBlocks(StageTwoPlay& play);
void riserStep(StageTwoPlay& play);
void fallerStep(StageTwoPlay& play);

// Both walkers inactive and out, every field 0: at the start and end of the stage.
void retireWalkers(StageTwoPlay& play);

// -2 when the Hero is to the left of x, otherwise +2.
int32_t dxTowardHero(const Hero& hero, int32_t x);
// One frame of walking along a storey: a step, then a turn at a wall post.
void walkAlongStorey(Walker& walker);
