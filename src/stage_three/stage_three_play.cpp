// The ship, its shot, the kamikaze aliens and the weapon pod of stage three.
#include "stage_three/stage_three_play.h"

#include <cmath>

#include "gfx/effects.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "game/game_state.h"
#include "platform/sound.h"

namespace {

constexpr uint32_t SHIP_COLOUR = 0xFFFF00;
constexpr uint32_t KAMIKAZE_COLOUR = 0xFF0000;
constexpr uint32_t POD_COLOUR = 0x0008FF;

void drawSilhouette(int32_t x, int32_t y, int id, float scale, float angle, uint32_t colour) {
  RotoBlit(nullptr, x, y, sprite(id), scale, scale, angle, BLIT_TRANSPARENT, RecolourBlend, &colour);
}

void moveAndFire(StageThreeState& s) {
  StageThreeShip& ship = s.ship;
  if (keyHeld(SC_LEFT)) {
    ship.x -= 4;
    if (ship.x <= 16) ship.x = 16;
  }
  if (keyHeld(SC_RIGHT)) {
    ship.x += 4;
    if (ship.x >= 304) ship.x = 304;
  }
  if (keyHeld(SC_SPACE) && !s.previousSpace && !s.shot.active) {
    s.shot.active = FLAG_SET;
    s.shot.x = ship.x - 2;
    s.shot.y = ship.y - 10;
    playEffect(1, 1, 255);
  }
}

// The drill stamps its own shape, upside down at twice the size, out of the
// body image 3 pixels below the shot; the normal shot bursts on the body.
void strikeBody(StageThreeState& s) {
  if (s.drillWeapon) {
    RotoBlit(s.ufoBody, s.shot.x - s.ufo.x + 68, s.shot.y - s.ufo.y + 34, sprite(SprMissile), 2.0f, 2.0f,
             180.0f, BLIT_TRANSPARENT, EraseBlend, nullptr);
    playEffect(2, 2, 255);
  } else {
    spawnEffect(s.shot.x, s.shot.y, FxBlastShort);
    playEffect(3, 3, 255);
  }
  s.shot.active = FLAG_CLEAR;
}

// One shot destroys every kamikaze alien whose box holds its position.
void shootKamikazes(StageThreeState& s) {
  for (Kamikaze& k : s.kamikaze) {
    if (!k.active) continue;
    if (s.shot.x < k.x - 9 || s.shot.x > k.x + 8 || s.shot.y < k.y - 10 || s.shot.y > k.y + 10) continue;
    s.shot.active = FLAG_CLEAR;
    k.active = FLAG_CLEAR;
    playEffect(3, 3, 255);
    addScore(10);
    spawnEffect(k.x, k.y, FxBlastShort);
  }
}

// A hit on the commander wins the stage once the victory countdown runs out.
void shootCommander(StageThreeState& s) {
  const Commander& c = s.commander;
  if (s.shot.x < c.x - 15 || s.shot.x > c.x + 14 || s.shot.y < c.y - 16 || s.shot.y > c.y + 16) return;
  s.shot.active = FLAG_CLEAR;
  s.beam.active = FLAG_CLEAR;
  s.victoryCountdown = 100;
  playEffect(3, 3, 255);
  addScore(1000);
  s.ufo.state = UFO_IDLE;
}

}  // namespace

void updateShip(StageThreeState& s) {
  StageThreeShip& ship = s.ship;
  switch (ship.state) {
    case SHIP_SETUP:
      ship.state = SHIP_RISING;
      ship.invulnerabilityTimer = 100;
      ship.x = 48;
      ship.y = 240;
      ship.reserveShips = 3;
      s.shot.active = FLAG_CLEAR;
      break;
    case SHIP_RISING:
      ship.y -= 2;
      if (ship.y <= 210) ship.state = SHIP_IN_PLAY;
      break;
    case SHIP_IN_PLAY:
      moveAndFire(s);
      break;
    default:  // destroyed: no moving, no firing
      break;
  }
  s.previousSpace = keyHeld(SC_SPACE) ? FLAG_SET : FLAG_CLEAR;
}

void updateShot(StageThreeState& s) {
  if (!s.shot.active) return;
  s.shot.y -= 6;
  if (s.shot.y < -10) {
    s.shot.active = FLAG_CLEAR;
    return;
  }
  // The body is the only thing drawn in exactly this 32-bit value, top byte 0.
  if (readPixel(s.shot.x, s.shot.y) == UFO_BODY_COLOUR) strikeBody(s);
  if (s.shot.active) shootKamikazes(s);
  if (s.shot.active && s.victoryCountdown == 0 && s.ufo.shown) shootCommander(s);
}

void drawShot(StageThreeState& s) {
  if (!s.shot.active) return;
  if (s.drillWeapon) {
    uint32_t colour = static_cast<uint32_t>(std::floor(randomUnit() * 16777215.0));
    drawSilhouette(s.shot.x, s.shot.y, SprMissile, 2.0f, 180.0f, colour);
  } else {
    drawSilhouette(s.shot.x + 2, s.shot.y, SprShot, 3.0f, 0.0f, SHIP_COLOUR);
  }
}

void launchKamikaze(StageThreeState& s, int32_t x, int32_t y) {
  for (Kamikaze& k : s.kamikaze) {
    if (k.active) continue;
    k.active = FLAG_SET;
    k.x = x;
    k.y = y;
    k.age = 0;
    return;
  }
}

void updateKamikazes(StageThreeState& s) {
  StageThreeShip& ship = s.ship;
  for (Kamikaze& k : s.kamikaze) {
    if (!k.active) continue;
    // 1 pixel a frame at first, one more after every 10 frames, at most 6.
    k.age += 1;
    k.y += 1;
    for (int32_t limit = 10; limit <= 50; limit += 10) {
      if (k.age > limit) k.y += 1;
    }
    if (k.y > 240) k.active = FLAG_CLEAR;
    if (ship.state != SHIP_DESTROYED && ship.invulnerabilityTimer == 0 && k.x >= ship.x - 22 &&
        k.x <= ship.x + 18 && k.y >= ship.y - 14 && k.y <= ship.y + 10) {
      k.active = FLAG_CLEAR;
      hitShip(s);
    }
    drawSilhouette(k.x, k.y, SprAlienA1, 2.0f, 0.0f, KAMIKAZE_COLOUR);
  }
}

void hitShip(StageThreeState& s) {
  s.ship.invulnerabilityTimer = 50;
  s.ship.reserveShips -= 1;
  if (s.ship.reserveShips < 0) {
    s.ship.state = SHIP_DESTROYED;
    s.deathCountdown = 100;
  }
  playEffect(2, 2, 255);
}

void drawShip(const StageThreeState& s) {
  const StageThreeShip& ship = s.ship;
  if (s.deathCountdown == 0) {
    // Blinks four frames on, four off while invulnerable.
    if (ship.invulnerabilityTimer == 0 || (ship.invulnerabilityTimer / 4) % 2 == 1) {
      drawSilhouette(ship.x, ship.y, SprShip, 2.0f, 0.0f, SHIP_COLOUR);
    }
  } else {
    drawSilhouette(ship.x, ship.y, SprShipBurst1 + (s.deathCountdown / 2) % 2, 2.0f, 0.0f, SHIP_COLOUR);
  }
}

void updatePod(StageThreeState& s) {
  if (s.t < POD_ARRIVES) return;
  s.pod.x = s.ship.x + 2;
  if (s.t <= 1030) {
    s.pod.y = 230;
  } else if (s.t <= DRILL_ARRIVES) {
    s.pod.y -= 1;
  }
  uint32_t colour = POD_COLOUR;
  drawImage(nullptr, s.pod.x, s.pod.y, sprite(SprAlienA1), DrawCustom, RecolourBlend, &colour);
  if (s.t >= DRILL_ARRIVES && !s.shot.active) s.drillWeapon = FLAG_SET;
}
