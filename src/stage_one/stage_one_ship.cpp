// The player's side of the formation stage: fire button, ship and its shot,
// and the aliens' bombs falling onto the ship.
#include "game/game.h"
#include "game/game_state.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "machine/machine.h"
#include "stage_one/stage_one_internal.h"

namespace stage_one {

namespace {

constexpr uint32_t SHIP_COLOUR = 0xFFFF00;
constexpr uint32_t BOMB_COLOUR = 0xC0C0C0;

// The ship is hit by a bomb or by an alien reaching the bottom; a ship that is
// already bursting starts its death sequence again.
void hitShip(Game& game, PlayerShip& ship) {
  ship.state = ShipState::Hit;
  ship.deathCounter = 0;
  playEffect(game, Sample::Explosion, Channel::Explosion, FULL_VOLUME);
}

}  // namespace

void drawSilhouette(Game& game, int spriteId, int32_t x, int32_t y, float scale, uint32_t colour) {
  RotoBlit(game, nullptr, x, y, sprite(game, spriteId), scale, scale, 0.0f, Transparency::SkipMask, RecolourBlend,
           &colour);
}

void fireInput(Game& game, StageOneRecord& stage) {
  const bool spaceHeld = keyHeld(game, SC_SPACE);
  if (spaceHeld && !stage.spaceWasHeld && stage.ship.state == ShipState::InPlay && !stage.shot.active) {
    stage.shot.active = true;
    stage.shot.x = stage.ship.x;
    stage.shot.y = stage.ship.y - 10;
    playEffect(game, Sample::Shot, Channel::Shot, FULL_VOLUME);
  }
  stage.spaceWasHeld = spaceHeld;
}

void updateShip(Game& game, StageOneRecord& stage) {
  PlayerShip& ship = stage.ship;
  if (ship.state == ShipState::Appearing) {
    ship.state = ShipState::InPlay;
  } else if (ship.state == ShipState::InPlay) {
    if (keyHeld(game, SC_LEFT)) {
      ship.x -= 6;
      if (ship.x <= 20) ship.x = 20;
    }
    if (keyHeld(game, SC_RIGHT)) {
      ship.x += 6;
      if (ship.x >= 300) ship.x = 300;
    }
  } else if (ship.state == ShipState::Hit) {
    ship.deathCounter += 1;
    // The two burst images alternate every two frames.
    if (ship.deathCounter % 4 == 0) ship.frame = 11;
    if (ship.deathCounter % 4 == 2) ship.frame = 12;
    if (ship.deathCounter == 60) {
      ship.reserveShips -= 1;
      if (ship.reserveShips < 0) {
        stage.result = StageResult::GameOver;
      } else {
        ship.state = ShipState::InPlay;
        ship.frame = 0;
      }
    }
  }
  drawSilhouette(game, SprShip + ship.frame, ship.x, ship.y, 3.0f, SHIP_COLOUR);
}

void updatePlayerShot(Game& game, StageOneRecord& stage) {
  PlayerShot& shot = stage.shot;
  if (!shot.active) return;
  shot.y -= 6;
  if (shot.y < -10) {
    shot.active = false;
  } else {
    Formation& formation = stage.formation;
    for (int i = 0; i < ALIEN_COUNT && shot.active; ++i) {
      Alien& alien = stage.aliens[i];
      if (!alien.alive) continue;
      if (shot.x < alien.x - 20 || shot.x > alien.x + 20) continue;
      if (shot.y < alien.y - 15 || shot.y > alien.y + 10) continue;
      shot.active = false;
      alien.state = AlienState::Exploding;
      formation.aliensLeft -= 1;
      // The formation speeds up at 8, 4, 2 and 1 aliens left.
      if (formation.aliensLeft == 8) formation.speed = 2;
      if (formation.aliensLeft == 4) formation.speed = 4;
      if (formation.aliensLeft == 2) formation.speed = 6;
      if (formation.aliensLeft == 1) formation.speed = 12;
      const int32_t row = i / ALIEN_COLUMNS;
      addScore(game, 300 - 100 * row + (alien.y - 20) / 8);
      if (formation.aliensLeft == 0) stage.formationDestroyed = true;
      playEffect(game, Sample::Hit, Channel::Hit, FULL_VOLUME);
    }
  }
  drawSilhouette(game, SprShot, shot.x, shot.y, 3.0f, SHIP_COLOUR);
}

void updateBombs(Game& game, StageOneRecord& stage) {
  PlayerShip& ship = stage.ship;
  for (AlienShot& bomb : stage.bombs) {
    if (!bomb.active) continue;
    bomb.y += 6;
    bomb.animationCounter += 1;
    if (bomb.animationCounter > 0) {
      bomb.animationCounter = 0;
      bomb.frame += 1;
      if (bomb.frame >= 3) bomb.frame = 0;
    }
    if (bomb.y >= 240) {
      bomb.active = false;
      continue;
    }
    // The bomb hits whatever state the ship is in.
    if (bomb.x >= ship.x - 20 && bomb.x <= ship.x + 20 && bomb.y >= ship.y - 15 && bomb.y <= ship.y + 10) {
      bomb.active = false;
      hitShip(game, ship);
    }
    drawSilhouette(game, SprBomb3 - bomb.frame, bomb.x, bomb.y, 2.0f, BOMB_COLOUR);
  }
}

}  // namespace stage_one
