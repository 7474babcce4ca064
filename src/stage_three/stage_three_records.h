// The records of the huge-UFO stage: the player's ship, shot, kamikaze aliens
// and weapon pod, the UFO with its beam and commander, and the stage record
// that holds them all for one call of StageThree.
#pragma once

#include <cstdint>

#include "game/game_state.h"

#include "platform/platform.h"

// Flags are -1 when set and 0 when clear, and are tested as non-zero.
constexpr int32_t FLAG_SET = -1;
constexpr int32_t FLAG_CLEAR = 0;

// RotoBlit's transparent argument: any non-zero value skips mask pixels.
constexpr int32_t BLIT_TRANSPARENT = 254;

// Ship states.
constexpr int32_t SHIP_SETUP = 0;
constexpr int32_t SHIP_RISING = 1;
constexpr int32_t SHIP_IN_PLAY = 2;
constexpr int32_t SHIP_DESTROYED = 3;

// UFO states.
constexpr int32_t UFO_IDLE = 0;
constexpr int32_t UFO_SETUP = 1;
constexpr int32_t UFO_DESCENDING = 2;
constexpr int32_t UFO_READY = 3;
constexpr int32_t UFO_CRUISING = 4;
constexpr int32_t UFO_BEAM_ATTACK = 7;

constexpr int KAMIKAZE_SLOTS = 65;
constexpr int HATCHES = 4;
// x offsets of the four hatches from the UFO's centre, at its centre height.
constexpr int32_t HATCH_OFFSETS[HATCHES] = {-38, -12, 13, 39};

// The ship turns the drill on from this frame, the pod shows from 1001.
constexpr int32_t POD_ARRIVES = 1001;
constexpr int32_t DRILL_ARRIVES = 1052;

// Size of the UFO's two images.
constexpr int UFO_BODY_WIDTH = 136;
constexpr int UFO_BODY_HEIGHT = 62;
constexpr int UFO_OUTLINE_WIDTH = 137;
constexpr int UFO_OUTLINE_HEIGHT = 64;
// The one 32-bit pixel value the shot recognises as the UFO's body.
constexpr uint32_t UFO_BODY_COLOUR = 0x00DDDDDD;
constexpr uint32_t UFO_RING_COLOUR = 0xDEDEDE;

struct StageThreeShip {
  int32_t x = 0;  // centre, 16 ... 304 in play
  int32_t y = 0;  // centre, 240 at set-up, 210 in play
  int32_t reserveShips = 0;
  int32_t state = SHIP_SETUP;
  int32_t invulnerabilityTimer = 0;
};

struct StageThreeShot {
  int32_t active = FLAG_CLEAR;
  int32_t x = 0;
  int32_t y = 0;
};

struct Kamikaze {
  int32_t active = FLAG_CLEAR;
  int32_t x = 0;
  int32_t y = 0;
  int32_t age = 0;  // frames since launch
};

struct WeaponPod {
  int32_t x = 0;  // top-left corner
  int32_t y = 0;
};

struct HugeUfo {
  int32_t shown = FLAG_CLEAR;
  int32_t direction = 0;  // +1 right, -1 left
  int32_t x = 0;
  int32_t y = 0;
  int32_t verticalSpeed = 0;
  int32_t toggle = 0;  // 0 or 1, flips every cruising frame
  int32_t state = UFO_IDLE;
  int32_t timer = 0;  // cruising: frames to the next beam; attack: frames to its end
  int32_t hatchArmed[HATCHES] = {};
  int32_t hatchCountdown[HATCHES] = {};
};

struct UfoBeam {
  int32_t active = FLAG_CLEAR;
  int32_t x = 0;
  int32_t y = 0;
  int32_t phase = 0;
};

struct Commander {
  int32_t x = 0;
  int32_t y = 0;
  int32_t riding = FLAG_CLEAR;
};

// Everything the stage keeps for one call of StageThree.
struct StageThreeState {
  int32_t result = STAGE_RUNNING;
  int32_t t = 0;  // frame counter, 1 in the first frame
  int32_t warningTimer = 0;
  int32_t deathCountdown = 0;
  int32_t victoryCountdown = 0;
  int32_t continueAnswer = 0;
  int32_t previousSpace = FLAG_CLEAR;
  int32_t drillWeapon = FLAG_CLEAR;

  StageThreeShip ship;
  StageThreeShot shot;
  Kamikaze kamikaze[KAMIKAZE_SLOTS];
  WeaponPod pod;

  HugeUfo ufo;
  UfoBeam beam;
  Commander commander;
  Image* ufoBody = nullptr;     // 136 x 62, drilled by the player
  Image* ufoOutline = nullptr;  // 137 x 64, the ring around the whole UFO
};
