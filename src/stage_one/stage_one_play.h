// The formation stage's play field: the player's ship and its one shot, the
// twelve marching aliens and their five bombs, and what each of them does in
// one frame. The frame loop around them lives in stage_one.cpp.
#pragma once

#include <cstdint>

#include "game/game_state.h"

constexpr int ALIEN_COUNT = 12;
constexpr int ALIEN_COLUMNS = 4;
constexpr int BOMB_SLOTS = 5;

// Ship states.
constexpr int32_t SHIP_APPEARING = 1;
constexpr int32_t SHIP_IN_PLAY = 2;
constexpr int32_t SHIP_HIT = 3;

// Alien states.
constexpr int32_t ALIEN_NEW = 0;
constexpr int32_t ALIEN_MARCHING = 1;
constexpr int32_t ALIEN_STEPPING_DOWN = 2;
constexpr int32_t ALIEN_EXPLODING = 4;

struct PlayerShip {
  int32_t x = 100;
  int32_t y = 206;
  int32_t state = SHIP_APPEARING;
  int32_t frame = 0;  // 0 in play; 11 or 12 while bursting (sprite 7 + frame)
  int32_t deathCounter = 0;
  int32_t reserveShips = 3;
};

struct PlayerShot {
  int32_t active = 0;
  int32_t x = 0;
  int32_t y = 0;
};

struct Alien {
  int32_t alive = 0;
  int32_t state = ALIEN_NEW;
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
  int32_t edgeFlag = 0;
  int32_t stepFlag = 0;
  int32_t marchSoundIndex = 0;
};

struct AlienShot {
  int32_t active = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t frame = 0;  // 0, 1, 2: drawn as sprite 11 - frame
  int32_t animationCounter = 0;
};

// Everything the stage holds for one call of StageOne.
struct StageOneField {
  PlayerShip ship;
  PlayerShot shot;
  Alien aliens[ALIEN_COUNT];
  Formation formation;
  AlienShot bombs[BOMB_SLOTS];
  int32_t result = STAGE_RUNNING;
  int32_t formationDestroyed = 0;
  int32_t bonusCounter = 0;
  int32_t spaceWasHeld = 0;
  int32_t continueAnswer = 0;
};

// Entering the stage: previous Space not held, march beat from the start,
// no shot and no bombs in flight.
void enterStageOne(StageOneField& field);
// Starting (on entry and after each continue): score 0, three reserve ships,
// a new ship and a full formation.
void startStageOne(StageOneField& field);
// The twelve aliens in their starting places; aliens left 12, speed 1.
void setUpFormation(StageOneField& field);

// The play updates of one frame, in this order; each draws its objects.
void fireInput(StageOneField& field);
void updateShip(StageOneField& field);  // ship update and drawing
void updatePlayerShot(StageOneField& field);
void updateAliens(StageOneField& field);
void updateBombs(StageOneField& field);

// Draws a sprite centred at (x, y), scaled alike in both directions, as a
// one-colour silhouette.
void drawSilhouette(int spriteId, int32_t x, int32_t y, float scale, uint32_t colour);

// The sky of 24 bands behind everything.
void drawSky();
// The bonus count after the formation is destroyed, with its lines.
void bonusCount(StageOneField& field);
// One whole frame of the stage between selecting the page and presenting it:
// sky, Esc test, bonus count, play updates, effects, high score and panel.
void playStageOneFrame(StageOneField& field);
// The whole stage on a record the caller holds (StageOne keeps it local).
void runStageOne(StageOneField& field, int32_t& result);
