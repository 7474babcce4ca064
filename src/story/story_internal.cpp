#include "story/story_internal.h"

#include "game/game.h"
#include "game/game_state.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "machine/machine.h"

namespace story {

void storyEnter(Game& game) {
  setPages(game, 0, 0);
  clearPage(game);
}

bool storyFrameBegin(Game& game, int32_t& t) {
  beginFrame(game);
  t += 1;
  bool done = readKey(game) == std::string(1, KEY_ESC_CHAR);
  clearPage(game);
  return done;
}

Sleep storyFrameEnd(Game& game) { return endFrame(game, 30); }

Task<> storyLeave(Game& game) {
  while (keyHeld(game, SC_ESC)) co_await sleepOrKey(game, 1);
  emptyKeyQueue(game);
  setPages(game, 0, 0);
}

void storyBox(Game& game, int x1, int y1, int x2, int y2, uint32_t colour) {
  drawLine(game, nullptr, x1, y1, x2, y2, colour, LineFilledBox);
}

void storyOutline(Game& game, int x1, int y1, int x2, int y2, uint32_t colour) {
  drawLine(game, nullptr, x1, y1, x2, y2, colour, LineBox);
}

void storyLine(Game& game, int x1, int y1, int x2, int y2, uint32_t colour) {
  drawLine(game, nullptr, x1, y1, x2, y2, colour, LineSolid);
}

void storySilhouette(Game& game, const Image* image, int x, int y, float scaleX, float scaleY, float angle,
                     uint32_t colour) {
  RotoBlit(game, nullptr, x, y, image, scaleX, scaleY, angle, Transparency::SkipMask, RecolourBlend, &colour);
}

void storySprite(Game& game, int spriteId, int x, int y, float scaleX, float scaleY, uint32_t colour) {
  storySilhouette(game, sprite(game, spriteId), x, y, scaleX, scaleY, 0.0f, colour);
}

void storyText(Game& game, int x, int y, const std::string& text) {
  drawText(game, x, y, text, 0x000000, Outline::Yes);
}

void balloonTail(Game& game, int x, int y) {
  storySilhouette(game, sprite(game, SprShip), x, y, 1.0f, 1.0f, 180.0f, BALLOON_WHITE);
}

void sirenOn(Game& game) { playEffect(game, Sample::Siren, Channel::Siren, FULL_VOLUME); }
void sirenOff(Game& game) { playEffect(game, Sample::Siren, Channel::Siren, SILENT); }

}  // namespace story
