// Scaled and rotated sprite drawing, and its per-pixel blend callbacks.
#pragma once

#include <cstdint>
#include <vector>

#include "machine/machine.h"

struct Toolkit;  // gfx/toolkit.h

// Whether RotoBlit skips the source's mask pixels when no blend is given
// (with a blend, the blend decides). The game always skips them.
enum class Transparency : int32_t { Opaque = 0, SkipMask = 254 };

// target nullptr draws onto the work page. Places the centre of the whole
// source image at (centreX, centreY); angle in degrees, clockwise on screen.
void RotoBlit(Toolkit& toolkit, Image* target, int32_t centreX, int32_t centreY, const Image* source, float scaleX,
              float scaleY, float angle, Transparency transparent, BlendFn blend, const void* blendParam);

// The blends RecolourBlend and EraseBlend are declared in machine/machine.h.

// Sprites drawn unturned, whole and on the target, kept as the stretches of
// pixels they paint: the kamikaze aliens, the beam and the blasts come back
// frame after frame at the same sizes, and a kept sprite is painted by
// filling its stretches again instead of stepping through its source. A
// stamp holds for one source at one scale, size on the target and evenness
// of its left edge's x (the rounding of the row ends depends on it), and is
// used only while the source's pixels are the same as when it was made.
struct RotoStamp {
  // What a stamp must match besides its source's pixels.
  struct Key {
    const Image* source = nullptr;  // nullptr: a free slot
    int32_t sourceWidth = 0, sourceHeight = 0;
    uint32_t scaleXBits = 0, scaleYBits = 0;
    int32_t width = 0, height = 0, leftOdd = 0;
    int32_t mode = 0;
    bool operator==(const Key&) const = default;
  };
  struct Stretch {
    int16_t dy, dx;  // from the sprite's top-left corner on the target
    int16_t length;
    uint32_t value;  // the source pixel; unused when recolouring
  };
  std::vector<uint8_t> sourceBytes;  // its source's rows as they were, padding included
  std::vector<Stretch> stretches;
  uint64_t lastUse = 0;
};
struct RotoStamps {
  static constexpr int SLOTS = 32;
  RotoStamp::Key keys[SLOTS];  // apart from the stamps: a search runs through one small table
  RotoStamp slots[SLOTS];
  uint64_t uses = 0;
};
void forgetRotoStamps(RotoStamps& stamps);
