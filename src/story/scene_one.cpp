// Scene 1: the traitor in the hangar. He drops through the ceiling, walks to
// the saucer, turns round, walks on, turns back, and the whole hangar slides
// away as the alarm sounds and the saucer takes off.
#include "game/game.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "story/story_internal.h"

namespace story {

namespace {

constexpr uint32_t HANGAR_DARK = 0x202020;
constexpr uint32_t SAUCER = 0xDDDDDD;
constexpr uint32_t CEILING_AND_FLOOR = 0xFF8000;

// The figure's moves; several may apply in the same frame, in this order.
enum MoveKind { DropDown, WalkDownRight, Squeeze, LookB, Widen, WalkRight, ScaleReset, LookA };
struct Move {
  int from, to;
  MoveKind kind;
};
constexpr Move MOVES[] = {
    {2, 50, DropDown}, {51, 89, WalkDownRight}, {89, 98, Squeeze},      {98, 98, LookB},
    {99, 108, Widen},  {109, 128, WalkRight},   {128, 128, ScaleReset}, {129, 138, Squeeze},
    {138, 138, LookA}, {139, 148, Widen},       {149, 158, WalkRight},
};

constexpr int SIREN_TIME = 168;
constexpr int END_TIME = 210;

// The hangar, twice the screen wide: dark all over, with the saucer in its
// dock on the right half. Its left 300 columns hold only the dark, so only
// the rest is kept as a picture; the saucer is drawn 300 pixels to the left
// on it, an even shift that keeps its rounding.
constexpr int HANGAR_WIDTH = 640;
constexpr int HANGAR_PLAIN = 300;

OwnedImage paintHangar(Game& game) {
  constexpr int P = HANGAR_PLAIN;
  OwnedImage picture = createImage(HANGAR_WIDTH - P, 240, HANGAR_DARK);
  Image* hangar = picture.get();
  uint32_t saucer = SAUCER;
  RotoBlit(game, hangar, 482 - P, 120, sprite(game, SprUfo), 19.0f, 19.0f, 0.0f, Transparency::SkipMask, RecolourBlend,
           &saucer);
  drawLine(game, hangar, 381 - P, 131, 581 - P, 152, SAUCER, LineFilledBox);
  drawLine(game, hangar, 521 - P, 131, 601 - P, 152, 0x000000, LineFilledBox);
  drawLine(game, hangar, 521 - P, 152, 437 - P, 68, 0x000000, LineSolid);
  drawLine(game, hangar, 437 - P, 68, 478 - P, 68, 0x000000, LineSolid);
  drawLine(game, hangar, 541 - P, 131, 478 - P, 68, 0x000000, LineSolid);
  return picture;
}

// The hangar with its left edge at x = offset.
void drawHangar(Game& game, const Image* hangar, int offset) {
  storyBox(game, offset, 0, offset + HANGAR_PLAIN - 1, 239, HANGAR_DARK);
  drawImage(game, nullptr, offset + HANGAR_PLAIN, 0, hangar, DrawCopy);
}

// The figure is the small alien cut afresh from the sheet, with a white eye
// set and the arm on the same side taken away: look A on the left side, look B
// on the right, so that squeezing and widening between them turns him round.
void paintFigure(Game& game, Image* figure, int eyeX, int armX) {
  drawImage(game, figure, 1, 1, game.spriteTable.sheet.get(), 8, 0, 15, 7, DrawCopy);
  setPixel(game, figure, eyeX, 4, 0xFFFFFF);
  setPixel(game, figure, armX, 4, MASK_COLOUR);
  setPixel(game, figure, armX, 5, MASK_COLOUR);
}
void lookA(Game& game, Image* figure) { paintFigure(game, figure, 3, 1); }
void lookB(Game& game, Image* figure) { paintFigure(game, figure, 6, 8); }

}  // namespace

Task<> storySceneOne(Game& game) {
  int32_t t = 0;
  int x = 0, y = 0;
  float scaleX = 0.0f;
  int offset = 0;
  uint32_t figureColour = 0;
  OwnedImage hangar;
  OwnedImage figure;
  bool done = false;
  storyEnter(game);
  while (!done) {
    done = storyFrameBegin(game, t);
    if (t == 1) {
      hangar = paintHangar(game);
      figure = createImage(11, 10);
      lookA(game, figure.get());
      x = 452;
      y = -33;
      scaleX = 2.0f;
      offset = -320;
      figureColour = 0x00FFFF;
    }
    if (hangar != nullptr) drawHangar(game, hangar.get(), offset);
    storyBox(game, 0, 0, 110, 2, CEILING_AND_FLOOR);
    storyBox(game, 150, 0, 319, 2, CEILING_AND_FLOOR);
    storyBox(game, 0, 215, 319, 239, CEILING_AND_FLOOR);

    for (const Move& move : MOVES) {
      if (t < move.from || t > move.to) continue;
      switch (move.kind) {
        case DropDown: y += 2; break;
        case WalkDownRight:
          x += 2;
          y += 2;
          break;
        case Squeeze: scaleX -= 0.2f; break;
        case LookB: lookB(game, figure.get()); break;
        case Widen: scaleX += 0.2f; break;
        case WalkRight: x += 2; break;
        case ScaleReset: scaleX = 2.0f; break;
        case LookA: lookA(game, figure.get()); break;
      }
    }
    // At its narrowest the scale passes zero; the sprite drawer raises it to
    // its smallest size.
    storySilhouette(game, figure.get(), offset + x, y, scaleX, 2.0f, 0.0f, figureColour);

    if (t == SIREN_TIME) sirenOn(game);
    // The hangar slides away ever faster: 2, 4, 8 and then 16 pixels a frame.
    if (t > 168) offset += 2;
    if (t > 178) offset += 2;
    if (t > 188) offset += 4;
    if (t > 198) offset += 8;
    if (t >= END_TIME) {
      sirenOff(game);
      hangar.reset();
      figure.reset();
      done = true;
    }
    co_await storyFrameEnd(game);
  }
  co_await storyLeave(game);
}

}  // namespace story
