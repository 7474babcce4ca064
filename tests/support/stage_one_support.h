// Helpers shared by the stage-one tests.
#pragma once

#include <string>
#include <vector>

#include "stage_one/stage_one_internal.h"
#include "support/session.h"

using namespace stage_one;

// A field as the stage sets it up on entry, with the ship already in play.
StageOneRecord fieldInPlay();

// Replaces every cut sprite with a narrow solid bar (3 image columns wide,
// the cut's full height) centred in its image, so that the positions of
// objects can be read back from the screen whatever the artwork looks like.
void useBarSprites();

// Fills the whole sprite sheet white, so that every character of a text
// shows as a solid 8x8 block of its colour.
void useBlockFont();

// One line of the sound log: "FRAME MS SAMPLE CHANNEL VOLUME".
// The samples played on one channel, in order.
std::vector<int> samplesOnChannel(const std::vector<SoundEvent>& log, int channel);

// Low 24 bits of a pixel of the work page.
unsigned rgbAt(int x, int y);
