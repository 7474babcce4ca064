// The huge UFO: its two images, its state machine, the hatches that drop the
// kamikaze aliens, the three-column beam and the commander riding on top.
#pragma once

#include "stage_three/stage_three_records.h"

// Creates the body and outline images afresh (any old ones are released).
void buildUfoImages(StageThreeState& s);
void destroyUfoImages(StageThreeState& s);

void updateUfo(StageThreeState& s);
void followCommander(StageThreeState& s);
void updateHatches(StageThreeState& s);
void drawUfoBody(const StageThreeState& s);
// The ring around the UFO and the commander, over the body and the shot test.
void drawUfoTop(const StageThreeState& s);
void updateBeam(StageThreeState& s);
void drawHatches(const StageThreeState& s);
// The flashes on the fallen commander while the victory countdown runs.
void commanderBurst(StageThreeState& s);
