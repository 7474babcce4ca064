// Hand-built towers and small helpers shared by the stage-two tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stage_two/stage_two_internal.h"

using namespace stage_two;

// Every cell of the map becomes the given value.
void fillTower(Tower& tower, uint16_t value);
// A solid floor across the whole width of a row, with wall posts in the
// columns given (each post is wall + floor, as in the generated tower).
void solidFloor(Tower& tower, int32_t row, const std::vector<int32_t>& posts = {});

// A play record with the Hero standing (state 2) at x on floor row f, the
// scroll following it, both walkers out and no blocks.
StageTwoRecord standingOn(int32_t x, int32_t floorRow);
// A walker in state 1 standing on floor row f at x, heading dx.
Walker walkerOn(int32_t x, int32_t floorRow, int32_t dx);

// The Hero's part of a frame in the stage's order (no enemies, no drawing).
void heroFrame(Game& game, Tower& tower, StageTwoRecord& stage);

// Number of pixels of the work page whose low 24 bits equal colour.
int countColour(Machine& machine, uint32_t colour, int x1 = 0, int y1 = 0, int x2 = 319, int y2 = 239);

// "sample channel volume" of every line of the session's sound log.
std::vector<std::string> soundsLogged(const std::string& path);
