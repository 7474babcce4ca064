// The marching formation: twelve aliens in three rows of four that walk from
// side to side, step down together at the edges, drop bombs at random and
// beat the march as their pictures change.
#include "gfx/effects.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "stage_one/stage_one_play.h"

namespace {

constexpr uint32_t ROW_COLOURS[3] = {0xC00000, 0xFF7F00, 0x00C000};

// A bomb goes into the first free slot; with all five in flight the chance is lost.
void dropBomb(StageOneField& field, const Alien& alien) {
  for (AlienShot& bomb : field.bombs) {
    if (bomb.active != 0) continue;
    // Frame and animation counter keep what the slot last held.
    bomb.active = -1;
    bomb.x = alien.x & ~1;
    bomb.y = alien.y - 1;
    return;
  }
}

// An alien of the bottom row has come down onto the ship's line: the ship is
// lost and no reserve ship is left to replace it.
void reachBottom(StageOneField& field, Alien& alien) {
  alien.state = ALIEN_EXPLODING;
  field.ship.state = SHIP_HIT;
  field.ship.deathCounter = 0;
  field.ship.reserveShips = 0;
  playEffect(2, 2, 255);
}

void moveAlien(StageOneField& field, Alien& alien) {
  Formation& formation = field.formation;
  switch (alien.state) {
    case ALIEN_NEW:
      formation.direction = 1;
      alien.state = ALIEN_MARCHING;
      break;
    case ALIEN_MARCHING:
      // The formation stands still while the ship is not in play.
      if (field.ship.state != SHIP_IN_PLAY) break;
      alien.x += formation.speed * formation.direction;
      if (alien.x >= 290 || alien.x <= 40) formation.edgeFlag = -1;
      if (randomUnit() < 0.02) dropBomb(field, alien);
      break;
    case ALIEN_STEPPING_DOWN:
      alien.y += 8;
      alien.state = ALIEN_MARCHING;
      if (alien.y >= 200) reachBottom(field, alien);
      break;
    case ALIEN_EXPLODING:
      spawnEffect(alien.x - 1, alien.y - 1, FxBlastSlow);
      alien.alive = 0;  // still drawn once below
      break;
    default:
      break;
  }
}

}  // namespace

void setUpFormation(StageOneField& field) {
  field.formation.aliensLeft = 12;
  field.formation.speed = 1;
  for (int i = 0; i < ALIEN_COUNT; ++i) {
    const int row = i / ALIEN_COLUMNS;
    const int column = i % ALIEN_COLUMNS;
    Alien& alien = field.aliens[i];
    alien.alive = -1;
    alien.state = ALIEN_NEW;
    alien.x = 40 + 55 * column;
    alien.y = 20 + 40 * row;
    alien.spriteBase = 2 * row;
    alien.frame = 0;
    alien.animationCounter = 0;
    alien.colour = ROW_COLOURS[row];
  }
}

void updateAliens(StageOneField& field) {
  Formation& formation = field.formation;
  formation.edgeFlag = 0;
  formation.stepFlag = 0;
  for (Alien& alien : field.aliens) {
    if (alien.alive == 0) continue;
    moveAlien(field, alien);
    // The picture changes every 24, 18, 6 or 1 frames as the speed grows,
    // also while the formation stands still.
    alien.animationCounter += 1;
    if (alien.animationCounter >= 30 - 6 * formation.speed) {
      alien.animationCounter = 0;
      alien.frame ^= 1;
      formation.stepFlag = -1;
    }
    drawSilhouette(alien.spriteBase + alien.frame, alien.x, alien.y, 4.0f, alien.colour);
  }
  if (formation.edgeFlag != 0) {
    formation.direction = -formation.direction;
    for (Alien& alien : field.aliens) {
      if (alien.alive != 0) alien.state = ALIEN_STEPPING_DOWN;
    }
  }
  if (formation.stepFlag != 0) {
    formation.marchSoundIndex = (formation.marchSoundIndex + 1) % 4;
    playEffect(4 + formation.marchSoundIndex, 4, 255);
  }
}
