// Helpers for the stage-three tests: solid stand-in sprites with a known
// shape, and reading the sound log.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/sprites.h"
#include "machine/machine.h"
#include "stage_three/stage_three_internal.h"
#include "support/session.h"

using namespace stage_three;

// Swaps one sprite for a solid block of the given shape size (placed at (1, 1)
// of an image with the table's margins) while it lives, so that positions
// and holes do not depend on the artwork.
struct SolidSprite {
  SolidSprite(Game& played, int id, int shapeWidth, int shapeHeight)
      : game(played), id(id), saved(std::move(game.spriteTable.images[id])) {
    game.spriteTable.images[id] = createImage(shapeWidth + 3, shapeHeight + 2);
    drawLine(game, game.spriteTable.images[id].get(), 1, 1, shapeWidth, shapeHeight, 0x808080, LineFilledBox);
  }
  ~SolidSprite() { game.spriteTable.images[id] = std::move(saved); }
  SolidSprite(const SolidSprite&) = delete;
  SolidSprite& operator=(const SolidSprite&) = delete;
  Game& game;
  int id;
  OwnedImage saved;
};

inline bool isMask(uint32_t pixel) { return (pixel & 0xFFFFFF) == MASK_COLOUR; }
