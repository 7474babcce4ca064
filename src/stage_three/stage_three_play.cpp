// The ship, its shot, the kamikaze aliens and the weapon pod of stage three.
#include <cmath>

#include "game/game.h"
#include "game/game_state.h"
#include "gfx/effects.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "machine/machine.h"
#include "stage_three/stage_three_internal.h"

namespace stage_three {

namespace {

constexpr uint32_t SHIP_COLOUR = 0xFFFF00;
constexpr uint32_t KAMIKAZE_COLOUR = 0xFF0000;
constexpr uint32_t POD_COLOUR = 0x0008FF;

void drawSilhouette(Game& game, int32_t x, int32_t y, int id, float scale, float angle, uint32_t colour) {
  RotoBlit(game, nullptr, x, y, sprite(game, id), scale, scale, angle, Transparency::SkipMask, RecolourBlend, &colour);
}

void moveAndFire(Game& game, StageThreeRecord& stage) {
  StageThreeShip& ship = stage.ship;
  if (keyHeld(game, SC_LEFT)) {
    ship.x -= 4;
    if (ship.x <= 16) ship.x = 16;
  }
  if (keyHeld(game, SC_RIGHT)) {
    ship.x += 4;
    if (ship.x >= 304) ship.x = 304;
  }
  if (keyHeld(game, SC_SPACE) && !stage.previousSpace && !stage.shot.active) {
    stage.shot.active = true;
    stage.shot.x = ship.x - 2;
    stage.shot.y = ship.y - 10;
    playEffect(game, Sample::Shot, Channel::Shot, FULL_VOLUME);
  }
}

// The drill stamps its own shape, upside down at twice the size, out of the
// body image 3 pixels below the shot; the normal shot bursts on the body.
void strikeBody(Game& game, StageThreeRecord& stage) {
  if (stage.drillWeapon) {
    RotoBlit(game, stage.ufoBody.get(), stage.shot.x - stage.ufo.x + 68, stage.shot.y - stage.ufo.y + 34,
             sprite(game, SprMissile), 2.0f, 2.0f, 180.0f, Transparency::SkipMask, EraseBlend, nullptr);
    playEffect(game, Sample::Explosion, Channel::Explosion, FULL_VOLUME);
  } else {
    spawnEffect(game, stage.shot.x, stage.shot.y, FxBlastShort);
    playEffect(game, Sample::Hit, Channel::Hit, FULL_VOLUME);
  }
  stage.shot.active = false;
}

// One shot destroys every kamikaze alien whose box holds its position.
void shootKamikazes(Game& game, StageThreeRecord& stage) {
  for (Kamikaze& k : stage.kamikaze) {
    if (!k.active) continue;
    if (stage.shot.x < k.x - 9 || stage.shot.x > k.x + 8 || stage.shot.y < k.y - 10 || stage.shot.y > k.y + 10)
      continue;
    stage.shot.active = false;
    k.active = false;
    playEffect(game, Sample::Hit, Channel::Hit, FULL_VOLUME);
    addScore(game, 10);
    spawnEffect(game, k.x, k.y, FxBlastShort);
  }
}

// A hit on the commander wins the stage once the victory countdown runs out.
void shootCommander(Game& game, StageThreeRecord& stage) {
  const Commander& c = stage.commander;
  if (stage.shot.x < c.x - 15 || stage.shot.x > c.x + 14 || stage.shot.y < c.y - 16 || stage.shot.y > c.y + 16) return;
  stage.shot.active = false;
  stage.beam.active = false;
  stage.victoryCountdown = 100;
  playEffect(game, Sample::Hit, Channel::Hit, FULL_VOLUME);
  addScore(game, 1000);
  stage.ufo.state = UfoState::Idle;
}

}  // namespace

void updateShip(Game& game, StageThreeRecord& stage) {
  StageThreeShip& ship = stage.ship;
  switch (ship.state) {
    case ShipState::Setup:
      ship.state = ShipState::Rising;
      ship.invulnerabilityTimer = 100;
      ship.x = 48;
      ship.y = 240;
      ship.reserveShips = 3;
      stage.shot.active = false;
      break;
    case ShipState::Rising:
      ship.y -= 2;
      if (ship.y <= 210) ship.state = ShipState::InPlay;
      break;
    case ShipState::InPlay: moveAndFire(game, stage); break;
    default:  // destroyed: no moving, no firing
      break;
  }
  stage.previousSpace = keyHeld(game, SC_SPACE);
}

void updateShot(Game& game, StageThreeRecord& stage) {
  if (!stage.shot.active) return;
  stage.shot.y -= 6;
  if (stage.shot.y < -10) {
    stage.shot.active = false;
    return;
  }
  // The body is the only thing drawn in exactly this 32-bit value, top byte 0.
  if (readPixel(game, stage.shot.x, stage.shot.y) == UFO_BODY_COLOUR) strikeBody(game, stage);
  if (stage.shot.active) shootKamikazes(game, stage);
  if (stage.shot.active && stage.victoryCountdown == 0 && stage.ufo.shown) shootCommander(game, stage);
}

void drawShot(Game& game, StageThreeRecord& stage) {
  if (!stage.shot.active) return;
  if (stage.drillWeapon) {
    uint32_t colour = static_cast<uint32_t>(std::floor(randomUnit(game) * 16777215.0));
    drawSilhouette(game, stage.shot.x, stage.shot.y, SprMissile, 2.0f, 180.0f, colour);
  } else {
    drawSilhouette(game, stage.shot.x + 2, stage.shot.y, SprShot, 3.0f, 0.0f, SHIP_COLOUR);
  }
}

void launchKamikaze(StageThreeRecord& stage, int32_t x, int32_t y) {
  for (Kamikaze& k : stage.kamikaze) {
    if (k.active) continue;
    k.active = true;
    k.x = x;
    k.y = y;
    k.age = 0;
    return;
  }
}

void updateKamikazes(Game& game, StageThreeRecord& stage) {
  StageThreeShip& ship = stage.ship;
  for (Kamikaze& k : stage.kamikaze) {
    if (!k.active) continue;
    // 1 pixel a frame at first, one more after every 10 frames, at most 6.
    k.age += 1;
    k.y += 1;
    for (int32_t limit = 10; limit <= 50; limit += 10) {
      if (k.age > limit) k.y += 1;
    }
    if (k.y > 240) k.active = false;
    if (ship.state != ShipState::Destroyed && ship.invulnerabilityTimer == 0 && k.x >= ship.x - 22 &&
        k.x <= ship.x + 18 && k.y >= ship.y - 14 && k.y <= ship.y + 10) {
      k.active = false;
      hitShip(game, stage);
    }
    drawSilhouette(game, k.x, k.y, SprAlienA1, 2.0f, 0.0f, KAMIKAZE_COLOUR);
  }
}

void hitShip(Game& game, StageThreeRecord& stage) {
  stage.ship.invulnerabilityTimer = 50;
  stage.ship.reserveShips -= 1;
  if (stage.ship.reserveShips < 0) {
    stage.ship.state = ShipState::Destroyed;
    stage.deathCountdown = 100;
  }
  playEffect(game, Sample::Explosion, Channel::Explosion, FULL_VOLUME);
}

void drawShip(Game& game, const StageThreeRecord& stage) {
  const StageThreeShip& ship = stage.ship;
  if (stage.deathCountdown == 0) {
    // Blinks four frames on, four off while invulnerable.
    if (ship.invulnerabilityTimer == 0 || (ship.invulnerabilityTimer / 4) % 2 == 1) {
      drawSilhouette(game, ship.x, ship.y, SprShip, 2.0f, 0.0f, SHIP_COLOUR);
    }
  } else {
    drawSilhouette(game, ship.x, ship.y, SprShipBurst1 + (stage.deathCountdown / 2) % 2, 2.0f, 0.0f, SHIP_COLOUR);
  }
}

void updatePod(Game& game, StageThreeRecord& stage) {
  if (stage.t < POD_ARRIVES) return;
  stage.pod.x = stage.ship.x + 2;
  if (stage.t <= 1030) {
    stage.pod.y = 230;
  } else if (stage.t <= DRILL_ARRIVES) {
    stage.pod.y -= 1;
  }
  uint32_t colour = POD_COLOUR;
  drawImage(game, nullptr, stage.pod.x, stage.pod.y, sprite(game, SprAlienA1), DrawCustom, RecolourBlend, &colour);
  if (stage.t >= DRILL_ARRIVES && !stage.shot.active) stage.drillWeapon = true;
}

}  // namespace stage_three
