// The records of one descent through the tower: the Hero, the two walkers,
// the falling blocks, the scroll and the stage result. They live in the stage
// procedure for one call; tests build them by hand.
#pragma once

#include <cstdint>

#include "game/game_state.h"

enum HeroState : int32_t {
  HeroArriving = 0,
  HeroLeavingLift = 1,
  HeroWalking = 2,  // standing or walking
  HeroStomping = 3,
  HeroFalling = 4,
  HeroOut = 5,
};

// The figure the player steers. x, y are map pixels of its centre; standing on
// floor row f it has y = 32f - 12 and storey row f - 1.
struct Hero {
  int32_t x = 48;
  int32_t y = 116;
  int32_t state = HeroArriving;
  int32_t column = 3;     // x div 16, 0..19, taken at the start of each walking frame
  int32_t storeyRow = 3;  // (y - 20) div 32
  int32_t m = 0;          // x mod 16, the position inside the column
  int32_t hitPoints = 5;
  bool invulnerable = false;
  int32_t invulnerableCounter = 0;
  bool hit = false;  // set by an enemy's touch, consumed by the damage step
  int32_t stompTimer = 0;
  bool shake = false;  // the tower shakes while this is set
  int32_t footstepPhase = 0;
  bool spaceWasHeld = false;
  int32_t gameOverCountdown = 0;  // 50 when the Hero goes out, counts down to 1
};

// Walker states. Both: 0 to be placed, 1 walking, 5 out. Riser: 2 climbing.
// Faller: 2 falling, 4 squashing after a landing.
enum WalkerState : int32_t {
  WalkerToBePlaced = 0,
  WalkerWalking = 1,
  RiserClimbing = 2,
  FallerFalling = 2,
  FallerSquashing = 4,
  WalkerOut = 5,
};

// The Riser (blue, climbs up through holes) and the Faller (white, drops
// through holes and squashes on landing) share this record.
struct Walker {
  bool active = false;
  int32_t x = 0;
  int32_t y = 0;
  int32_t column = 0;
  int32_t row = 0;
  int32_t xOffset = 0;
  int32_t yOffset = 0;
  int32_t dx = 0;  // -2 or +2
  int32_t state = WalkerOut;
  int32_t frame = 0;
  int32_t squashCounter = 0;  // Faller only
  float squash = 0.0f;
  int32_t squashDirection = 0;
};

// A red block knocked out of a floor, falling to the next solid floor.
struct FallingBlock {
  bool active = false;
  int32_t x = 0;
  int32_t y = 0;
};
constexpr int32_t FALLING_BLOCK_SLOTS = 17;

struct StageTwoPlay {
  Hero hero;
  Walker riser;
  Walker faller;
  FallingBlock blocks[FALLING_BLOCK_SLOTS];
  int32_t scroll = 0;  // map y at the top line of the screen; always hero y - 116
  int32_t result = STAGE_RUNNING;
};
