// What the four story scenes share: their frame loop steps, the silhouette,
// box and lettering helpers, speech-balloon tails and the alarm siren.
#pragma once

#include <cstdint>
#include <string>

#include "machine/machine.h"

namespace story {

// Entering a scene: page 0 becomes work and visible page and turns black.
void storyEnter();
// Start of a frame: select the work page, count t up, take one key from the
// queue and clear the work page. Returns the done flag: true for Esc only.
bool storyFrameBegin(int32_t& t);
// End of a frame: present, swap the page pair, sleep 30 ms.
void storyFrameEnd();
// Leaving a scene: wait until Esc is let go, empty the key queue and make
// page 0 both work and visible page.
void storyLeave();

// Filled box, outline and line on the work page, corners included.
void storyBox(int x1, int y1, int x2, int y2, uint32_t colour);
void storyOutline(int x1, int y1, int x2, int y2, uint32_t colour);
void storyLine(int x1, int y1, int x2, int y2, uint32_t colour);
// A sprite of the table (or any image) drawn as a one-colour silhouette,
// centred at (x, y).
void storySilhouette(const Image* image, int x, int y, float scaleX, float scaleY, float angle, uint32_t colour);
void storySprite(int spriteId, int x, int y, float scaleX, float scaleY, uint32_t colour);
// Black lettering with its outline, as all dialogue is drawn.
void storyText(int x, int y, const std::string& text);
// The tail of a speech balloon: the ship turned upside down, in white.
void balloonTail(int x, int y);
// A colour computed from its red, green and blue parts.
constexpr uint32_t rgbColour(int red, int green, int blue) {
  return 0xFF000000u | (static_cast<uint32_t>(red) << 16) | (static_cast<uint32_t>(green) << 8) |
         static_cast<uint32_t>(blue);
}

constexpr uint32_t BALLOON_WHITE = 0xFFFFFF;

// The alarm siren on its own channel, at full volume or silenced.
void sirenOn();
void sirenOff();

void storySceneZero();
void storySceneOne();
void storySceneTwo();
void storySceneThree();

}  // namespace story
