// Helpers for the stage-three tests: solid stand-in sprites with a known
// shape, and reading the sound log.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/sprites.h"
#include "platform/platform.h"
#include "support/session.h"

// Swaps one sprite for a solid block of the given shape size (placed at (1, 1)
// of an image with the table's margins) while it lives, so that positions
// and holes do not depend on the artwork.
struct SolidSprite {
  SolidSprite(int id, int shapeWidth, int shapeHeight) : id(id), saved(spriteTable.images[id]) {
    image = createImage(shapeWidth + 3, shapeHeight + 2);
    drawLine(image, 1, 1, shapeWidth, shapeHeight, 0x808080, LineFilledBox);
    spriteTable.images[id] = image;
  }
  ~SolidSprite() {
    spriteTable.images[id] = saved;
    destroyImage(image);
  }
  SolidSprite(const SolidSprite&) = delete;
  SolidSprite& operator=(const SolidSprite&) = delete;
  int id;
  Image* saved;
  Image* image = nullptr;
};

struct SoundEvent {
  int64_t frame;  // frames presented before the sound: frame t of a scene logs t - 1
  int sample;
  int channel;
  int volume;
};

inline std::vector<SoundEvent> readSoundLog(const std::string& path) {
  std::vector<SoundEvent> events;
  std::istringstream in(readFileText(path));
  SoundEvent e{};
  int64_t ms = 0;
  while (in >> e.frame >> ms >> e.sample >> e.channel >> e.volume) events.push_back(e);
  return events;
}

inline bool isMask(uint32_t pixel) { return (pixel & 0xFFFFFF) == MASK_COLOUR; }
