// The formation stage's play field: the player's ship and its one shot, the
// twelve marching aliens and their five bombs, and what each of them does in
// one frame. The frame loop around them lives in stage_one.cpp.
#pragma once

#include <cstdint>

#include "game/game.h"
#include "game/game_state.h"

namespace stage_one {

constexpr int ALIEN_COUNT = 12;
constexpr int ALIEN_COLUMNS = 4;
constexpr int BOMB_SLOTS = 5;

enum class ShipState : int32_t { Appearing = 1, InPlay = 2, Hit = 3 };
enum class AlienState : int32_t { New = 0, Marching = 1, SteppingDown = 2, Exploding = 4 };

struct PlayerShip {
  int32_t x = 100;
  int32_t y = 206;
  ShipState state = ShipState::Appearing;
  int32_t frame = 0;  // 0 in play; 11 or 12 while bursting (sprite 7 + frame)
  int32_t deathCounter = 0;
  int32_t reserveShips = 3;
};

struct PlayerShot {
  bool active = false;
  int32_t x = 0;
  int32_t y = 0;
};

struct Alien {
  bool alive = false;
  AlienState state = AlienState::New;
  int32_t x = 0;
  int32_t y = 0;
  int32_t spriteBase = 0;  // 2 * row
  int32_t frame = 0;       // 0 or 1, added to the sprite base
  int32_t animationCounter = 0;
  uint32_t colour = 0;
};

struct Formation {
  int32_t aliensLeft = 12;
  int32_t speed = 1;
  int32_t direction = 1;
  bool edgeFlag = false;
  bool stepFlag = false;
  int32_t marchSoundIndex = 0;
};

struct AlienShot {
  bool active = false;
  int32_t x = 0;
  int32_t y = 0;
  int32_t frame = 0;  // 0, 1, 2: drawn as sprite 11 - frame
  int32_t animationCounter = 0;
};

// Everything the stage holds for one call of StageOne.
struct StageOneRecord {
  PlayerShip ship;
  PlayerShot shot;
  Alien aliens[ALIEN_COUNT];
  Formation formation;
  AlienShot bombs[BOMB_SLOTS];
  StageResult result = StageResult::Running;
  bool formationDestroyed = false;
  int32_t bonusCounter = 0;
  bool spaceWasHeld = false;
};

// Entering the stage: previous Space not held, march beat from the start,
// no shot and no bombs in flight.
void enterStageOne(StageOneRecord& stage);
// Starting (on entry and after each continue): score 0, three reserve ships,
// a new ship and a full formation.
void startStageOne(Game& game, StageOneRecord& stage);
// The twelve aliens in their starting places; aliens left 12, speed 1.
void setUpFormation(StageOneRecord& stage);

// The play updates of one frame, in this order; each draws its objects.
void fireInput(Game& game, StageOneRecord& stage);
void updateShip(Game& game, StageOneRecord& stage);  // ship update and drawing
void updatePlayerShot(Game& game, StageOneRecord& stage);
void updateAliens(Game& game, StageOneRecord& stage);
void updateBombs(Game& game, StageOneRecord& stage);

// Draws a sprite centred at (x, y), scaled alike in both directions, as a
// one-colour silhouette.
void drawSilhouette(Game& game, int spriteId, int32_t x, int32_t y, float scale, uint32_t colour);

// The sky of 24 bands behind everything.
void drawSky(Game& game);
// The bonus count after the formation is destroyed, with its lines.
void bonusCount(Game& game, StageOneRecord& stage);
// One whole frame of the stage between selecting the page and presenting it:
// sky, Esc test, bonus count, play updates, effects, high score and panel.
void playStageOneFrame(Game& game, StageOneRecord& stage);
// The whole stage on a record the caller holds (StageOne keeps it local).
Task<StageResult> runStageOne(Game& game, StageOneRecord& stage);

}  // namespace stage_one
