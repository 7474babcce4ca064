// Helpers shared by the stage-one tests.
#pragma once

#include <string>
#include <vector>

#include "stage_one/stage_one_internal.h"
#include "support/session.h"

using namespace stage_one;

// A stage record as the stage sets it up on entry, with the ship already in play.
StageOneRecord stageInPlay(Game& game);

// Fills the whole sprite sheet white, so that every character of a text
// shows as a solid 8x8 block of its colour.
void useBlockFont(Toolkit& toolkit);

// The samples played on one channel, in order.
std::vector<int> samplesOnChannel(const std::vector<SoundEvent>& log, int channel);

// Low 24 bits of a pixel of the work page.
unsigned rgbAt(Machine& machine, int x, int y);
