// The player's side of the huge-UFO stage: the ship, its one shot with the
// normal and the drill weapon, the kamikaze aliens and the weapon pod. Each
// procedure is one step of the stage's frame, called in the frame's order.
#pragma once

#include "stage_three/stage_three_records.h"

// Set-up, rising, movement and firing by state; then remembers Space.
void updateShip(StageThreeState& s);
// Moves the shot and tests it against the UFO's body (one work-page pixel),
// the kamikaze aliens and the commander.
void updateShot(StageThreeState& s);
void drawShot(StageThreeState& s);
// The first free kamikaze slot starts falling from (x, y); none free: lost.
void launchKamikaze(StageThreeState& s, int32_t x, int32_t y);
// Moves every kamikaze alien, lets it strike the ship, and draws it.
void updateKamikazes(StageThreeState& s);
// The ship takes a hit from a kamikaze alien or the beam.
void hitShip(StageThreeState& s);
void drawShip(const StageThreeState& s);
// The weapon pod rides up to the ship and switches the drill on.
void updatePod(StageThreeState& s);
