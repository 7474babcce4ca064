// The huge UFO of stage three, its hatches, its beam and its commander.
#include <cmath>

#include "game/game.h"
#include "gfx/effects.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "machine/machine.h"
#include "stage_three/stage_three_internal.h"

namespace stage_three {

namespace {

constexpr uint32_t COMMANDER_COLOUR = 0xC0C020;
constexpr uint32_t HATCH_ALIEN_COLOUR = 0xFF0000;

void drawSilhouette(Game& game, int32_t x, int32_t y, int id, float scale, uint32_t colour) {
  RotoBlit(game, nullptr, x, y, sprite(game, id), scale, scale, 0.0f, Transparency::SkipMask, RecolourBlend, &colour);
}

// The UFO sprite at eight times its size; it overhangs the body image, which
// clips it at the top and on the left.
void paintUfoShape(Game& game, Image* body, uint32_t colour) {
  RotoBlit(game, body, 60, 22, sprite(game, SprUfo), 8.0f, 8.0f, 0.0f, Transparency::SkipMask, RecolourBlend, &colour);
}

void armHatch(Game& game, HugeUfo& ufo) {
  if (randomUnit(game) >= 0.07) return;
  int k = static_cast<int>(std::floor(randomUnit(game) * 4.0));
  if (ufo.hatchArmed[k]) {
    k = -1;
    for (int j = 0; j < HATCHES && k < 0; ++j) {
      if (!ufo.hatchArmed[j]) k = j;
    }
    if (k < 0) return;  // all four armed: the chance is lost
  }
  ufo.hatchArmed[k] = true;
  ufo.hatchCountdown[k] = 30;
}

void cruise(Game& game, StageThreeRecord& stage) {
  HugeUfo& ufo = stage.ufo;
  ufo.x += 2 * ufo.direction;
  if (ufo.x >= 279) ufo.direction = -ufo.direction;
  if (ufo.x <= 40) ufo.direction = -ufo.direction;
  // Swings around y = 60: the speed changes every second frame.
  ufo.y += ufo.verticalSpeed;
  ufo.toggle ^= 1;
  if (ufo.y > 60 && ufo.toggle == 1) ufo.verticalSpeed -= 1;
  if (ufo.y <= 60 && ufo.toggle == 1) ufo.verticalSpeed += 1;
  armHatch(game, ufo);
  ufo.timer -= 1;
  if (ufo.timer == 0) {
    ufo.timer = 100;
    ufo.state = UfoState::BeamAttack;
  }
}

void attack(Game& game, StageThreeRecord& stage) {
  HugeUfo& ufo = stage.ufo;
  ufo.timer -= 1;
  if (ufo.timer == 0) {
    ufo.state = UfoState::Cruising;
    ufo.timer = 100 + static_cast<int32_t>(std::floor(randomUnit(game) * 100.0));
  }
  if (ufo.timer == 90) {
    stage.beam.active = true;
    stage.beam.phase = -1;
    stage.beam.x = ufo.x;
    stage.beam.y = ufo.y + 32;
  }
}

// Three shrinking bursts, twice over, while the beam charges.
void chargeBeam(Game& game, const UfoBeam& beam, uint32_t colour) {
  float scale = 4.0f - static_cast<float>(beam.phase % 16) / 4.0f;
  uint32_t c = colour;
  RotoBlit(game, nullptr, beam.x - 36, beam.y + 8, sprite(game, SprExplosion), scale, scale, 0.0f,
           Transparency::SkipMask, RecolourBlend, &c);
  RotoBlit(game, nullptr, beam.x + 2, beam.y, sprite(game, SprExplosion), scale, scale, 0.0f, Transparency::SkipMask,
           RecolourBlend, &c);
  RotoBlit(game, nullptr, beam.x + 40, beam.y + 8, sprite(game, SprExplosion), scale, scale, 0.0f,
           Transparency::SkipMask, RecolourBlend, &c);
  if (beam.phase % 16 == 1) playEffect(game, Sample::Siren, Channel::Beam, FULL_VOLUME);
  if (beam.phase == 31) playEffect(game, Sample::Siren, Channel::Beam, SILENT);
}

// Eleven rows of three columns reaching down past the ship's line; the hit
// test looks at the ship's x alone.
void fireBeam(Game& game, StageThreeRecord& stage, uint32_t colour) {
  const UfoBeam& beam = stage.beam;
  if (beam.phase % 2 == 1) playEffect(game, Sample::Hit, Channel::Beam, FULL_VOLUME);
  for (int32_t i = 0; i <= 10; ++i) {
    int id = randomUnit(game) > 0.5 ? SprShot : SprBomb1;
    drawSilhouette(game, beam.x - 36, beam.y + 16 * i + 8, id, 2.0f, colour);
    drawSilhouette(game, beam.x + 2, beam.y + 16 * i, id, 2.0f, colour);
    drawSilhouette(game, beam.x + 40, beam.y + 16 * i + 8, id, 2.0f, colour);
  }
  if (beam.x - 50 <= stage.ship.x && stage.ship.x <= beam.x + 52 && stage.ship.invulnerabilityTimer == 0)
    hitShip(game, stage);
}

}  // namespace

void buildUfoImages(Game& game, StageThreeRecord& stage) {
  destroyUfoImages(stage);
  stage.ufoBody = createImage(UFO_BODY_WIDTH, UFO_BODY_HEIGHT);
  stage.ufoOutline = createImage(UFO_OUTLINE_WIDTH, UFO_OUTLINE_HEIGHT);
  Image* body = stage.ufoBody.get();
  Image* outline = stage.ufoOutline.get();
  paintUfoShape(game, body, UFO_RING_COLOUR);
  // The shape spread by one pixel every way, then hollowed out: a ring.
  const int spread[8][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 1}, {2, 2}};
  for (const auto& at : spread) drawImage(game, outline, at[0], at[1], body, DrawTransparent);
  drawImage(game, outline, 1, 1, body, DrawCustom, EraseBlend, nullptr);
  paintUfoShape(game, body, UFO_BODY_COLOUR);
}

void destroyUfoImages(StageThreeRecord& stage) {
  stage.ufoBody.reset();
  stage.ufoOutline.reset();
}

void updateUfo(Game& game, StageThreeRecord& stage) {
  HugeUfo& ufo = stage.ufo;
  switch (ufo.state) {
    case UfoState::Setup:
      ufo.shown = true;
      ufo.direction = 1;
      ufo.x = 160;
      ufo.y = -40;
      ufo.verticalSpeed = 3;
      ufo.state = UfoState::Descending;
      ufo.timer = 100 + static_cast<int32_t>(std::floor(randomUnit(game) * 100.0));
      stage.beam.active = false;
      stage.commander.riding = true;
      break;
    case UfoState::Descending:
      ufo.y += 1;
      if (ufo.y > 60) ufo.state = UfoState::Ready;
      break;
    case UfoState::Ready: ufo.state = UfoState::Cruising; break;
    case UfoState::Cruising: cruise(game, stage); break;
    case UfoState::BeamAttack: attack(game, stage); break;
    default:  // idle: stays where it is
      break;
  }
}

void followCommander(StageThreeRecord& stage) {
  if (!stage.commander.riding) return;
  stage.commander.x = stage.ufo.x;
  stage.commander.y = stage.ufo.y - 40;
}

void updateHatches(StageThreeRecord& stage) {
  HugeUfo& ufo = stage.ufo;
  for (int j = 0; j < HATCHES; ++j) {
    if (!ufo.hatchArmed[j]) continue;
    ufo.hatchCountdown[j] -= 1;
    if (ufo.hatchCountdown[j] == 0) {
      ufo.hatchArmed[j] = false;
      launchKamikaze(stage, ufo.x + HATCH_OFFSETS[j], ufo.y);
    }
  }
}

void drawUfoBody(Game& game, const StageThreeRecord& stage) {
  if (!stage.ufo.shown) return;
  drawImage(game, nullptr, stage.ufo.x - 68, stage.ufo.y - 31, stage.ufoBody.get(), DrawTransparent);
}

void drawUfoTop(Game& game, const StageThreeRecord& stage) {
  if (!stage.ufo.shown) return;
  uint32_t ring = UFO_RING_COLOUR;
  drawImage(game, nullptr, stage.ufo.x - 69, stage.ufo.y - 32, stage.ufoOutline.get(), DrawCustom, RecolourBlend,
            &ring);
  drawSilhouette(game, stage.commander.x, stage.commander.y, SprAlienC1, 2.0f, COMMANDER_COLOUR);
}

void updateBeam(Game& game, StageThreeRecord& stage) {
  if (!stage.beam.active) return;
  stage.beam.phase += 1;
  uint32_t colour = static_cast<uint32_t>(std::lround(randomUnit(game) * 16777215.0));
  if (stage.beam.phase <= 31) {
    chargeBeam(game, stage.beam, colour);
  } else if (stage.beam.phase <= 74) {
    fireBeam(game, stage, colour);
  } else {
    stage.beam.active = false;
  }
}

void drawHatches(Game& game, const StageThreeRecord& stage) {
  for (int j = 0; j < HATCHES; ++j) {
    if (!stage.ufo.hatchArmed[j]) continue;
    drawSilhouette(game, stage.ufo.x + HATCH_OFFSETS[j], stage.ufo.y, SprAlienA1, 1.0f, HATCH_ALIEN_COLOUR);
  }
}

void commanderBurst(Game& game, StageThreeRecord& stage) {
  if (stage.victoryCountdown <= 0 || stage.victoryCountdown % 8 != 0) return;
  double r1 = randomUnit(game);
  double r2 = randomUnit(game);
  spawnEffect(game, stage.commander.x + static_cast<int32_t>(std::floor(r2 * 20.0 - 10.0)),
              stage.commander.y + static_cast<int32_t>(std::floor(r1 * 10.0 - 5.0)), FxFlash);
  playEffect(game, Sample::Explosion, Channel::Explosion, FULL_VOLUME);
}

}  // namespace stage_three
