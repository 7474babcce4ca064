// The huge UFO of stage three, its hatches, its beam and its commander.
#include "stage_three/huge_ufo.h"

#include <cmath>

#include "gfx/effects.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "platform/sound.h"
#include "stage_three/stage_three_play.h"

namespace {

constexpr uint32_t COMMANDER_COLOUR = 0xC0C020;
constexpr uint32_t HATCH_ALIEN_COLOUR = 0xFF0000;

void drawSilhouette(int32_t x, int32_t y, int id, float scale, uint32_t colour) {
  RotoBlit(nullptr, x, y, sprite(id), scale, scale, 0.0f, BLIT_TRANSPARENT, RecolourBlend, &colour);
}

// The UFO sprite at eight times its size; it overhangs the body image, which
// clips it at the top and on the left.
void paintUfoShape(Image* body, uint32_t colour) {
  RotoBlit(body, 60, 22, sprite(SprUfo), 8.0f, 8.0f, 0.0f, BLIT_TRANSPARENT, RecolourBlend, &colour);
}

void armHatch(HugeUfo& ufo) {
  if (randomUnit() >= 0.07) return;
  int k = static_cast<int>(std::floor(randomUnit() * 4.0));
  if (ufo.hatchArmed[k]) {
    k = -1;
    for (int j = 0; j < HATCHES && k < 0; ++j) {
      if (!ufo.hatchArmed[j]) k = j;
    }
    if (k < 0) return;  // all four armed: the chance is lost
  }
  ufo.hatchArmed[k] = FLAG_SET;
  ufo.hatchCountdown[k] = 30;
}

void cruise(StageThreeState& s) {
  HugeUfo& ufo = s.ufo;
  ufo.x += 2 * ufo.direction;
  if (ufo.x >= 279) ufo.direction = -ufo.direction;
  if (ufo.x <= 40) ufo.direction = -ufo.direction;
  // Swings around y = 60: the speed changes every second frame.
  ufo.y += ufo.verticalSpeed;
  ufo.toggle ^= 1;
  if (ufo.y > 60 && ufo.toggle == 1) ufo.verticalSpeed -= 1;
  if (ufo.y <= 60 && ufo.toggle == 1) ufo.verticalSpeed += 1;
  armHatch(ufo);
  ufo.timer -= 1;
  if (ufo.timer == 0) {
    ufo.timer = 100;
    ufo.state = UFO_BEAM_ATTACK;
  }
}

void attack(StageThreeState& s) {
  HugeUfo& ufo = s.ufo;
  ufo.timer -= 1;
  if (ufo.timer == 0) {
    ufo.state = UFO_CRUISING;
    ufo.timer = 100 + static_cast<int32_t>(std::floor(randomUnit() * 100.0));
  }
  if (ufo.timer == 90) {
    s.beam.active = FLAG_SET;
    s.beam.phase = -1;
    s.beam.x = ufo.x;
    s.beam.y = ufo.y + 32;
  }
}

// Three shrinking bursts, twice over, while the beam charges.
void chargeBeam(const UfoBeam& beam, uint32_t colour) {
  float scale = 4.0f - static_cast<float>(beam.phase % 16) / 4.0f;
  uint32_t c = colour;
  RotoBlit(nullptr, beam.x - 36, beam.y + 8, sprite(SprExplosion), scale, scale, 0.0f, BLIT_TRANSPARENT,
           RecolourBlend, &c);
  RotoBlit(nullptr, beam.x + 2, beam.y, sprite(SprExplosion), scale, scale, 0.0f, BLIT_TRANSPARENT,
           RecolourBlend, &c);
  RotoBlit(nullptr, beam.x + 40, beam.y + 8, sprite(SprExplosion), scale, scale, 0.0f, BLIT_TRANSPARENT,
           RecolourBlend, &c);
  if (beam.phase % 16 == 1) playEffect(8, 10, 255);
  if (beam.phase == 31) playEffect(8, 10, 0);
}

// Eleven rows of three columns reaching down past the ship's line; the hit
// test looks at the ship's x alone.
void fireBeam(StageThreeState& s, uint32_t colour) {
  const UfoBeam& beam = s.beam;
  if (beam.phase % 2 == 1) playEffect(3, 10, 255);
  for (int32_t i = 0; i <= 10; ++i) {
    int id = randomUnit() > 0.5 ? SprShot : SprBomb1;
    drawSilhouette(beam.x - 36, beam.y + 16 * i + 8, id, 2.0f, colour);
    drawSilhouette(beam.x + 2, beam.y + 16 * i, id, 2.0f, colour);
    drawSilhouette(beam.x + 40, beam.y + 16 * i + 8, id, 2.0f, colour);
  }
  if (beam.x - 50 <= s.ship.x && s.ship.x <= beam.x + 52 && s.ship.invulnerabilityTimer == 0) hitShip(s);
}

}  // namespace

void buildUfoImages(StageThreeState& s) {
  destroyUfoImages(s);
  s.ufoBody = createImage(UFO_BODY_WIDTH, UFO_BODY_HEIGHT);
  s.ufoOutline = createImage(UFO_OUTLINE_WIDTH, UFO_OUTLINE_HEIGHT);
  paintUfoShape(s.ufoBody, UFO_RING_COLOUR);
  // The shape spread by one pixel every way, then hollowed out: a ring.
  const int spread[8][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 1}, {2, 2}};
  for (const auto& at : spread) drawImage(s.ufoOutline, at[0], at[1], s.ufoBody, DrawTransparent);
  drawImage(s.ufoOutline, 1, 1, s.ufoBody, DrawCustom, EraseBlend, nullptr);
  paintUfoShape(s.ufoBody, UFO_BODY_COLOUR);
}

void destroyUfoImages(StageThreeState& s) {
  if (s.ufoBody != nullptr) destroyImage(s.ufoBody);
  if (s.ufoOutline != nullptr) destroyImage(s.ufoOutline);
  s.ufoBody = nullptr;
  s.ufoOutline = nullptr;
}

void updateUfo(StageThreeState& s) {
  HugeUfo& ufo = s.ufo;
  switch (ufo.state) {
    case UFO_SETUP:
      ufo.shown = FLAG_SET;
      ufo.direction = 1;
      ufo.x = 160;
      ufo.y = -40;
      ufo.verticalSpeed = 3;
      ufo.state = UFO_DESCENDING;
      ufo.timer = 100 + static_cast<int32_t>(std::floor(randomUnit() * 100.0));
      s.beam.active = FLAG_CLEAR;
      s.commander.riding = FLAG_SET;
      break;
    case UFO_DESCENDING:
      ufo.y += 1;
      if (ufo.y > 60) ufo.state = UFO_READY;
      break;
    case UFO_READY:
      ufo.state = UFO_CRUISING;
      break;
    case UFO_CRUISING:
      cruise(s);
      break;
    case UFO_BEAM_ATTACK:
      attack(s);
      break;
    default:  // idle: stays where it is
      break;
  }
}

void followCommander(StageThreeState& s) {
  if (!s.commander.riding) return;
  s.commander.x = s.ufo.x;
  s.commander.y = s.ufo.y - 40;
}

void updateHatches(StageThreeState& s) {
  HugeUfo& ufo = s.ufo;
  for (int j = 0; j < HATCHES; ++j) {
    if (!ufo.hatchArmed[j]) continue;
    ufo.hatchCountdown[j] -= 1;
    if (ufo.hatchCountdown[j] == 0) {
      ufo.hatchArmed[j] = FLAG_CLEAR;
      launchKamikaze(s, ufo.x + HATCH_OFFSETS[j], ufo.y);
    }
  }
}

void drawUfoBody(const StageThreeState& s) {
  if (!s.ufo.shown) return;
  drawImage(nullptr, s.ufo.x - 68, s.ufo.y - 31, s.ufoBody, DrawTransparent);
}

void drawUfoTop(const StageThreeState& s) {
  if (!s.ufo.shown) return;
  uint32_t ring = UFO_RING_COLOUR;
  drawImage(nullptr, s.ufo.x - 69, s.ufo.y - 32, s.ufoOutline, DrawCustom, RecolourBlend, &ring);
  drawSilhouette(s.commander.x, s.commander.y, SprAlienC1, 2.0f, COMMANDER_COLOUR);
}

void updateBeam(StageThreeState& s) {
  if (!s.beam.active) return;
  s.beam.phase += 1;
  uint32_t colour = static_cast<uint32_t>(std::lround(randomUnit() * 16777215.0));
  if (s.beam.phase <= 31) {
    chargeBeam(s.beam, colour);
  } else if (s.beam.phase <= 74) {
    fireBeam(s, colour);
  } else {
    s.beam.active = FLAG_CLEAR;
  }
}

void drawHatches(const StageThreeState& s) {
  for (int j = 0; j < HATCHES; ++j) {
    if (!s.ufo.hatchArmed[j]) continue;
    drawSilhouette(s.ufo.x + HATCH_OFFSETS[j], s.ufo.y, SprAlienA1, 1.0f, HATCH_ALIEN_COLOUR);
  }
}

void commanderBurst(StageThreeState& s) {
  if (s.victoryCountdown <= 0 || s.victoryCountdown % 8 != 0) return;
  double r1 = randomUnit();
  double r2 = randomUnit();
  spawnEffect(s.commander.x + static_cast<int32_t>(std::floor(r2 * 20.0 - 10.0)),
              s.commander.y + static_cast<int32_t>(std::floor(r1 * 10.0 - 5.0)), FxFlash);
  playEffect(2, 2, 255);
}
