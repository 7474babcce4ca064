#include "story/story_internal.h"

#include "game/game_state.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "machine/machine.h"

namespace story {

void storyEnter() {
  setPages(0, 0);
  clearPage();
}

bool storyFrameBegin(int32_t& t) {
  beginFrame();
  t += 1;
  bool done = readKey() == std::string(1, KEY_ESC_CHAR);
  clearPage();
  return done;
}

void storyFrameEnd() { endFrame(30); }

void storyLeave() {
  while (keyHeld(SC_ESC)) sleepOrKey(1);
  emptyKeyQueue();
  setPages(0, 0);
}

void storyBox(int x1, int y1, int x2, int y2, uint32_t colour) {
  drawLine(nullptr, x1, y1, x2, y2, colour, LineFilledBox);
}

void storyOutline(int x1, int y1, int x2, int y2, uint32_t colour) {
  drawLine(nullptr, x1, y1, x2, y2, colour, LineBox);
}

void storyLine(int x1, int y1, int x2, int y2, uint32_t colour) {
  drawLine(nullptr, x1, y1, x2, y2, colour, LineSolid);
}

void storySilhouette(const Image* image, int x, int y, float scaleX, float scaleY, float angle, uint32_t colour) {
  RotoBlit(nullptr, x, y, image, scaleX, scaleY, angle, Transparency::SkipMask, RecolourBlend, &colour);
}

void storySprite(int spriteId, int x, int y, float scaleX, float scaleY, uint32_t colour) {
  storySilhouette(sprite(spriteId), x, y, scaleX, scaleY, 0.0f, colour);
}

void storyText(int x, int y, const std::string& text) { drawText(x, y, text, 0x000000, Outline::Yes); }

void balloonTail(int x, int y) { storySilhouette(sprite(SprShip), x, y, 1.0f, 1.0f, 180.0f, BALLOON_WHITE); }

void sirenOn() { playEffect(Sample::Siren, Channel::Siren, FULL_VOLUME); }
void sirenOff() { playEffect(Sample::Siren, Channel::Siren, SILENT); }

}  // namespace story
