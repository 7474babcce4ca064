// Scene 2: the traitor's saucer lands on Earth beside the player's ship; he
// offers the secret weapon data, and the saucer sinks out of sight.
#include "game/game.h"
#include "gfx/sprites.h"
#include "story/story_internal.h"

namespace story {

namespace {

constexpr int SKY_TO = 319;
constexpr int FLY_IN_FROM = 2, FLY_IN_TO = 40;
constexpr int DESCEND_FROM = 41, DESCEND_TO = 60;
constexpr int STAND_FROM = 61, STAND_TO = 270;
constexpr int SINK_FROM = 271, SINK_TO = 320;
constexpr int LATER_FROM = 351, LATER_TO = 410;
constexpr int END_TIME = 451;

struct Dialogue {
  int from, to;
  const char* lines[3];
};
constexpr Dialogue DIALOGUE[] = {
    {61, 150, {"DON'T SHOOT", "I HAVE A SECRET WEAPON DATA", "I'M ON YOUR SIDE"}},
    {171, 260, {"OK,", "I WILL WORK ON ", "SECRET WEAPON"}},
};

// Evening sky: 24 bands of 10 rows from deep blue at the top to teal.
void drawDuskSky(Game& game) {
  for (int i = 0; i < 24; i++) storyBox(game, 0, 10 * i, 319, 10 * i + 9, rgbColour(2 * i, 21 + 7 * i, 46 + 6 * i));
}

void drawUfo(Game& game, int x, int y) { storySprite(game, SprUfo, x, y, 2, 2, 0xFFFFFF); }

// Here the tail goes on after the box.
void drawBalloon(Game& game, const Dialogue& dialogue) {
  storyBox(game, 10, 90, 250, 155, BALLOON_WHITE);
  balloonTail(game, 135, 160);
  for (int i = 0; i < 3; i++) storyText(game, 20, 100 + 20 * i, dialogue.lines[i]);
}

}  // namespace

Task<> storySceneTwo(Game& game) {
  int32_t t = 0;
  int x = 0, y = 0;
  bool done = false;
  storyEnter(game);
  while (!done) {
    done = storyFrameBegin(game, t);
    if (t <= SKY_TO) {
      drawDuskSky(game);
      storySprite(game, SprShip, 48, 225, 2, 2, 0xFFFF00);
    }
    if (t == 1) {
      x = -32;
      y = 90;
    }
    if (t >= FLY_IN_FROM && t <= FLY_IN_TO) {
      x += 4;
      drawUfo(game, x, y);
    }
    if (t >= DESCEND_FROM && t <= DESCEND_TO) {
      y += 4;
      drawUfo(game, x, y);
    }
    if (t >= STAND_FROM && t <= STAND_TO) drawUfo(game, x, y);
    for (const Dialogue& dialogue : DIALOGUE) {
      if (t >= dialogue.from && t <= dialogue.to) drawBalloon(game, dialogue);
    }
    if (t >= SINK_FROM && t <= SINK_TO) {
      y += 4;
      drawUfo(game, x, y);
    }
    if (t >= LATER_FROM && t <= LATER_TO) storyText(game, 70, 120, "a few hours later...");
    if (t >= END_TIME) done = true;
    co_await storyFrameEnd(game);
  }
  co_await storyLeave(game);
}

}  // namespace story
