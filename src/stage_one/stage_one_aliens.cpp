// The marching formation: twelve aliens in three rows of four that walk from
// side to side, step down together at the edges, drop bombs at random and
// beat the march as their pictures change.
#include "game/game.h"
#include "gfx/effects.h"
#include "machine/machine.h"
#include "stage_one/stage_one_internal.h"

namespace stage_one {

namespace {

constexpr uint32_t ROW_COLOURS[3] = {0xC00000, 0xFF7F00, 0x00C000};

// A bomb goes into the first free slot; with all five in flight the chance is lost.
void dropBomb(StageOneRecord& stage, const Alien& alien) {
  for (AlienShot& bomb : stage.bombs) {
    if (bomb.active) continue;
    // Frame and animation counter keep what the slot last held.
    bomb.active = true;
    bomb.x = alien.x & ~1;
    bomb.y = alien.y - 1;
    return;
  }
}

// An alien of the bottom row has come down onto the ship's line: the ship is
// lost and no reserve ship is left to replace it.
void reachBottom(Game& game, StageOneRecord& stage, Alien& alien) {
  alien.state = AlienState::Exploding;
  stage.ship.state = ShipState::Hit;
  stage.ship.deathCounter = 0;
  stage.ship.reserveShips = 0;
  playEffect(game, Sample::Explosion, Channel::Explosion, FULL_VOLUME);
}

void moveAlien(Game& game, StageOneRecord& stage, Alien& alien) {
  Formation& formation = stage.formation;
  switch (alien.state) {
    case AlienState::New:
      formation.direction = 1;
      alien.state = AlienState::Marching;
      break;
    case AlienState::Marching:
      // The formation stands still while the ship is not in play.
      if (stage.ship.state != ShipState::InPlay) break;
      alien.x += formation.speed * formation.direction;
      if (alien.x >= 290 || alien.x <= 40) formation.edgeFlag = true;
      if (randomUnit(game) < 0.02) dropBomb(stage, alien);
      break;
    case AlienState::SteppingDown:
      alien.y += 8;
      alien.state = AlienState::Marching;
      if (alien.y >= 200) reachBottom(game, stage, alien);
      break;
    case AlienState::Exploding:
      spawnEffect(game, alien.x - 1, alien.y - 1, FxBlastSlow);
      alien.alive = false;  // still drawn once below
      break;
    default: break;
  }
}

}  // namespace

void setUpFormation(StageOneRecord& stage) {
  stage.formation.aliensLeft = 12;
  stage.formation.speed = 1;
  for (int i = 0; i < ALIEN_COUNT; ++i) {
    const int row = i / ALIEN_COLUMNS;
    const int column = i % ALIEN_COLUMNS;
    Alien& alien = stage.aliens[i];
    alien.alive = true;
    alien.state = AlienState::New;
    alien.x = 40 + 55 * column;
    alien.y = 20 + 40 * row;
    alien.spriteBase = 2 * row;
    alien.frame = 0;
    alien.animationCounter = 0;
    alien.colour = ROW_COLOURS[row];
  }
}

void updateAliens(Game& game, StageOneRecord& stage) {
  Formation& formation = stage.formation;
  formation.edgeFlag = false;
  formation.stepFlag = false;
  for (Alien& alien : stage.aliens) {
    if (!alien.alive) continue;
    moveAlien(game, stage, alien);
    // The picture changes every 24, 18, 6 or 1 frames as the speed grows,
    // also while the formation stands still.
    alien.animationCounter += 1;
    if (alien.animationCounter >= 30 - 6 * formation.speed) {
      alien.animationCounter = 0;
      alien.frame ^= 1;
      formation.stepFlag = true;
    }
    drawSilhouette(game, alien.spriteBase + alien.frame, alien.x, alien.y, 4.0f, alien.colour);
  }
  if (formation.edgeFlag) {
    formation.direction = -formation.direction;
    for (Alien& alien : stage.aliens) {
      if (alien.alive) alien.state = AlienState::SteppingDown;
    }
  }
  if (formation.stepFlag) {
    formation.marchSoundIndex = (formation.marchSoundIndex + 1) % 4;
    playEffect(game, marchNote(formation.marchSoundIndex), Channel::March, FULL_VOLUME);
  }
}

}  // namespace stage_one
