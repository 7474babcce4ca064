// What the four story scenes share: their frame loop steps, the silhouette,
// box and lettering helpers, speech-balloon tails and the alarm siren.
#pragma once

#include <cstdint>
#include <string>

#include "game/game.h"
#include "machine/machine.h"

namespace story {

// Entering a scene: page 0 becomes work and visible page and turns black.
void storyEnter(Game& game);
// Start of a frame: select the work page, count t up, take one key from the
// queue and clear the work page. Returns the done flag: true for Esc only.
bool storyFrameBegin(Game& game, int32_t& t);
// End of a frame: present, swap the page pair, sleep 30 ms.
Sleep storyFrameEnd(Game& game);
// Leaving a scene: wait until Esc is let go, empty the key queue and make
// page 0 both work and visible page.
Task<> storyLeave(Game& game);

// Filled box, outline and line on the work page, corners included.
void storyBox(Game& game, int x1, int y1, int x2, int y2, uint32_t colour);
void storyOutline(Game& game, int x1, int y1, int x2, int y2, uint32_t colour);
void storyLine(Game& game, int x1, int y1, int x2, int y2, uint32_t colour);
// A sprite of the table (or any image) drawn as a one-colour silhouette,
// centred at (x, y).
void storySilhouette(Game& game, const Image* image, int x, int y, float scaleX, float scaleY, float angle,
                     uint32_t colour);
void storySprite(Game& game, int spriteId, int x, int y, float scaleX, float scaleY, uint32_t colour);
// Black lettering with its outline, as all dialogue is drawn.
void storyText(Game& game, int x, int y, const std::string& text);
// The tail of a speech balloon: the ship turned upside down, in white.
void balloonTail(Game& game, int x, int y);
// A colour computed from its red, green and blue parts.
constexpr uint32_t rgbColour(int red, int green, int blue) {
  return 0xFF000000u | (static_cast<uint32_t>(red) << 16) | (static_cast<uint32_t>(green) << 8) |
         static_cast<uint32_t>(blue);
}

constexpr uint32_t BALLOON_WHITE = 0xFFFFFF;

// The alarm siren on its own channel, at full volume or silenced.
void sirenOn(Game& game);
void sirenOff(Game& game);

Task<> storySceneZero(Game& game);
Task<> storySceneOne(Game& game);
Task<> storySceneTwo(Game& game);
Task<> storySceneThree(Game& game);

}  // namespace story
