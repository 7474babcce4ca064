// Scene 3, the ending: the traitor and the player's ship under a clear sky.
#include "game/game.h"
#include "gfx/sprites.h"
#include "story/story_internal.h"

namespace story {

namespace {

constexpr int END_AFTER = 250;
constexpr const char* CLOSING_LINES[] = {"crazy alien COMMANDER is dead", "     war is finally over     ",
                                         "        peace forever        ", "           THE END           "};
constexpr int CLOSING_Y[] = {30, 50, 70, 110};

// Daylight sky: 24 bands, light blue at the top deepening downwards.
void drawDaySky(Game& game) {
  for (int i = 0; i < 24; i++) storyBox(game, 0, 10 * i, 319, 10 * i + 9, rgbColour(30, 180 - 7 * i, 235));
}

}  // namespace

Task<> storySceneThree(Game& game) {
  int32_t t = 0;
  bool done = false;
  storyEnter(game);
  while (!done) {
    done = storyFrameBegin(game, t);
    drawDaySky(game);
    storySprite(game, SprAlienA1, 230, 180, 8, 8, 0x00FFFF);
    storyBox(game, 204, 174, 256, 187, 0x00FFFF);
    storySprite(game, SprShip, 80, 170, 8, 10, 0xFFFF00);
    for (int i = 0; i < 4; i++) storyText(game, 50, CLOSING_Y[i], CLOSING_LINES[i]);
    if (t > END_AFTER) done = true;
    co_await storyFrameEnd(game);
  }
  co_await storyLeave(game);
}

}  // namespace story
