// The huge-UFO stage's own records and steps, for its files and its tests:
// the player's ship, shot, kamikaze aliens and weapon pod, the UFO with its
// beam and commander, and the stage's start, frame and scenery.
#pragma once

#include <cstdint>

#include "game/game.h"
#include "game/game_state.h"
#include "machine/machine.h"

namespace stage_three {

// The records of the huge-UFO stage: the player's ship, shot, kamikaze aliens
// and weapon pod, the UFO with its beam and commander, and the stage record
// that holds them all for one call of StageThree.

enum class ShipState : int32_t { Setup = 0, Rising = 1, InPlay = 2, Destroyed = 3 };

enum class UfoState : int32_t { Idle = 0, Setup = 1, Descending = 2, Ready = 3, Cruising = 4, BeamAttack = 7 };

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
  ShipState state = ShipState::Setup;
  int32_t invulnerabilityTimer = 0;
};

struct StageThreeShot {
  bool active = false;
  int32_t x = 0;
  int32_t y = 0;
};

struct Kamikaze {
  bool active = false;
  int32_t x = 0;
  int32_t y = 0;
  int32_t age = 0;  // frames since launch
};

struct WeaponPod {
  int32_t x = 0;  // top-left corner
  int32_t y = 0;
};

struct HugeUfo {
  bool shown = false;
  int32_t direction = 0;  // +1 right, -1 left
  int32_t x = 0;
  int32_t y = 0;
  int32_t verticalSpeed = 0;
  int32_t toggle = 0;  // 0 or 1, flips every cruising frame
  UfoState state = UfoState::Idle;
  int32_t timer = 0;  // cruising: frames to the next beam; attack: frames to its end
  bool hatchArmed[HATCHES] = {};
  int32_t hatchCountdown[HATCHES] = {};
};

struct UfoBeam {
  bool active = false;
  int32_t x = 0;
  int32_t y = 0;
  int32_t phase = 0;
};

struct Commander {
  int32_t x = 0;
  int32_t y = 0;
  bool riding = false;
};

// Everything the stage keeps for one call of StageThree.
struct StageThreeRecord {
  StageResult result = StageResult::Running;
  int32_t t = 0;  // frame counter, 1 in the first frame
  int32_t warningTimer = 0;
  int32_t deathCountdown = 0;
  int32_t victoryCountdown = 0;
  bool previousSpace = false;
  bool drillWeapon = false;

  StageThreeShip ship;
  StageThreeShot shot;
  Kamikaze kamikaze[KAMIKAZE_SLOTS];
  WeaponPod pod;

  HugeUfo ufo;
  UfoBeam beam;
  Commander commander;
  OwnedImage ufoBody;     // 136 x 62, drilled by the player
  OwnedImage ufoOutline;  // 137 x 64, the ring around the whole UFO
};

// The huge-UFO stage's start, frame loop and ends, with a stage record the
// caller owns, so that a watcher can follow the play frame by frame.

// The whole stage, as StageThree runs it. The record's images are released
// on return.
Task<StageResult> runStageThree(Game& game, StageThreeRecord& stage);

// Entering the stage once: every record cleared.
void enterStageThree(StageThreeRecord& stage);
// Starting (again after a continue): warning, ship set-up, a whole UFO.
void startStageThree(Game& game, StageThreeRecord& stage);
// Everything of one frame between raising t and presenting it: the sky,
// the UFO and its beam, the ship and its shot, the kamikazes, the effects
// and the score panel.
void playStageThreeFrame(Game& game, StageThreeRecord& stage);
// One whole frame of play: the picture, its wait (Ctrl: as fast as it
// draws; left Shift: about a frame a second) and the exit prompt.
Task<> stageThreeFrame(Game& game, StageThreeRecord& stage);

// The pieces of scenery of a frame.
void drawStageThreeSky(Game& game);
void drawDoneBalloon(Game& game, const StageThreeRecord& stage);
void warningStep(Game& game, StageThreeRecord& stage);

// The player's side of the huge-UFO stage: the ship, its one shot with the
// normal and the drill weapon, the kamikaze aliens and the weapon pod. Each
// procedure is one step of the stage's frame, called in the frame's order.

// Set-up, rising, movement and firing by state; then remembers Space.
void updateShip(Game& game, StageThreeRecord& stage);
// Moves the shot and tests it against the UFO's body (one work-page pixel),
// the kamikaze aliens and the commander.
void updateShot(Game& game, StageThreeRecord& stage);
void drawShot(Game& game, StageThreeRecord& stage);
// The first free kamikaze slot starts falling from (x, y); none free: lost.
void launchKamikaze(StageThreeRecord& stage, int32_t x, int32_t y);
// Moves every kamikaze alien, lets it strike the ship, and draws it.
void updateKamikazes(Game& game, StageThreeRecord& stage);
// The ship takes a hit from a kamikaze alien or the beam.
void hitShip(Game& game, StageThreeRecord& stage);
void drawShip(Game& game, const StageThreeRecord& stage);
// The weapon pod rides up to the ship and switches the drill on.
void updatePod(Game& game, StageThreeRecord& stage);

// The huge UFO: its two images, its state machine, the hatches that drop the
// kamikaze aliens, the three-column beam and the commander riding on top.

// Creates the body and outline images afresh (any old ones are released).
void buildUfoImages(Game& game, StageThreeRecord& stage);
void destroyUfoImages(StageThreeRecord& stage);

void updateUfo(Game& game, StageThreeRecord& stage);
void followCommander(StageThreeRecord& stage);
void updateHatches(StageThreeRecord& stage);
void drawUfoBody(Game& game, const StageThreeRecord& stage);
// The ring around the UFO and the commander, over the body and the shot test.
void drawUfoTop(Game& game, const StageThreeRecord& stage);
void updateBeam(Game& game, StageThreeRecord& stage);
void drawHatches(Game& game, const StageThreeRecord& stage);
// The flashes on the fallen commander while the victory countdown runs.
void commanderBurst(Game& game, StageThreeRecord& stage);

}  // namespace stage_three
