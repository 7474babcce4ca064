// The tower descent's own records and steps, for its files and its tests:
// the Hero, the two walkers, the falling blocks, the tower map and its
// drawing, and the stage's frame.
#pragma once

#include <cstdint>
#include <vector>

#include "game/game.h"
#include "machine/machine.h"
#include "stage_two/tower.h"

namespace stage_two {

// The records of one descent through the tower: the Hero, the two walkers,
// the falling blocks, the scroll and the stage result. They live in the stage
// procedure for one call; tests build them by hand.

enum class HeroState : int32_t {
  Arriving = 0,
  LeavingLift = 1,
  Walking = 2,  // standing or walking
  Stomping = 3,
  Falling = 4,
  Out = 5,
};

// The figure the player steers. x, y are map pixels of its centre; standing on
// floor row f it has y = 32f - 12 and storey row f - 1.
struct Hero {
  int32_t x = 48;
  int32_t y = 116;
  HeroState state = HeroState::Arriving;
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
enum class WalkerState : int32_t {
  ToBePlaced = 0,
  Walking = 1,
  RiserClimbing = 2,
  FallerFalling = 2,
  FallerSquashing = 4,
  Out = 5,
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
  WalkerState state = WalkerState::Out;
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

struct StageTwoRecord {
  Hero hero;
  Walker riser;
  Walker faller;
  FallingBlock blocks[FALLING_BLOCK_SLOTS];
  int32_t scroll = 0;  // map y at the top line of the screen; always hero y - 116
  StageResult result = StageResult::Running;
};

// The tower of the descent: a grid of 20 columns by 501 rows of cells, built
// afresh every time the stage starts.

// Cell flags. Some are tested as bits, some only as exact whole values.
enum CellFlag : uint16_t {
  CellHole = 0x001,        // exactly 1: an open hole in a floor
  CellWall = 0x002,        // a wall post: walkers in that storey cannot pass it
  CellFloor = 0x004,       // a solid floor tile
  CellLoose = 0x008,       // a red block lodged in the floor
  CellCracked = 0x010,     // a cracked tile; a stomp breaks it
  CellAir = 0x020,         // empty; what every cell starts as
  CellGoal = 0x040,        // exactly 0x044: the UFO's floor tile
  CellLift = 0x080,        // exactly 0x180: the lift the Hero arrives in
  CellRoof = 0x100,        // the roof rows
  CellBrokenLift = 0x200,  // exactly 0x204: the decoy UFO, out of order
  CellMessage = 0x400,     // exactly 0x400: anchor of the message texts
};

// Reading a cell never leaves the grid. Outside it the tower answers as if it
// were walled in on both sides (columns below 0 and above 19 are wall posts,
// so the Hero and both walkers stop or turn at the screen edges even in the
// wall-less storeys 72 and 142), stood on solid ground (every row below 500 is
// floor, so nothing falls out of the bottom of the tower) and had more roof
// above row 0.
uint16_t cellAt(const Tower& tower, int32_t column, int32_t row);
// Writes inside the grid only; anything outside is ignored.
void setCell(Tower& tower, int32_t column, int32_t row, uint16_t value);

// Fills the whole map: roof, lift, tutorial floors, about five hundred random
// floors and the three landmark sections around rows 70, 140 and 200.
void buildTower(Game& game, Tower& tower);

// Paints the background of every stage-two frame: the eleven rows of the
// tower that the scroll brings into view, shaking while the Hero stomps.

// Colour of a floor or wall tile: yellow in the middle columns shading to red
// at both sides, with a blue part that cycles from row to row.
uint32_t tileColour(int32_t column, int32_t row);

// scroll: map y at the top line of the screen. shake: move the whole picture
// by up to 2 pixels sideways and 1 up or down, chosen anew each call.
void drawTower(Game& game, Tower& tower, int32_t scroll, bool shake);

// The Hero: walking, stomping, falling through holes, taking hits, drawing.
// The stage calls these once per frame in this order: stomp input, update,
// (tower drawing), footsteps, damage, drawing.

constexpr int32_t HERO_SCREEN_Y = 116;  // where the scroll keeps the Hero
constexpr int32_t STOMP_FRAMES = 5;
constexpr int32_t INVULNERABLE_FRAMES = 50;
constexpr int32_t GAME_OVER_COUNTDOWN = 50;

// A fresh Hero in the lift: five hit points, at (48, 116), arriving.
Hero newHero();

// A new Space press while standing starts a five-frame stomp.
void heroStompInput(Game& game, Hero& hero);
// One frame of the Hero's state machine. A stomp may start a falling block, a
// fall moves the scroll, landing on the goal sets the result to cleared.
void updateHero(Game& game, Tower& tower, StageTwoRecord& stage);
// Plays a footstep whenever x passes another 8 pixels.
void heroFootsteps(Game& game, Hero& hero);
// Takes a pending hit: one hit point, then 50 blinking frames, or out.
void heroDamage(Game& game, Hero& hero);
void drawHero(Game& game, const Hero& hero, int32_t scroll);

// The two walkers that hunt the Hero and the red blocks it knocks out of the
// floor. Each frame the stage runs the falling blocks, then the Riser, then
// the Faller; each step also draws its objects.

// Starts a block in the first free slot; with all 17 falling, nothing starts.
void startFallingBlock(StageTwoRecord& stage, int32_t x, int32_t y);
void updateFallingBlocks(Game& game, Tower& tower, StageTwoRecord& stage);
void riserStep(Game& game, Tower& tower, StageTwoRecord& stage);
void fallerStep(Game& game, Tower& tower, StageTwoRecord& stage);

// Both walkers inactive and out, every field 0: at the start and end of the stage.
void retireWalkers(StageTwoRecord& stage);

// -2 when the Hero is to the left of x, otherwise +2.
int32_t dxTowardHero(const Hero& hero, int32_t x);
// One frame of walking along a storey: a step, then a turn at a wall post.
void walkAlongStorey(Tower& tower, Walker& walker);

// Starting the stage (on entry and after each continue): a new tower, a fresh
// Hero in the lift, scroll 0, no effects, no walkers, no falling blocks.
void startStageTwo(Game& game, Tower& tower, StageTwoRecord& stage);
// Everything of one frame between selecting the work page and presenting it:
// Esc, the game-over countdown, the Hero, the tower, the walkers and blocks,
// the effects and the score panel.
void playStageTwoFrame(Game& game, Tower& tower, StageTwoRecord& stage);
// The whole stage on a record the caller holds (StageTwo keeps it local).
Task<StageResult> runStageTwo(Game& game, Tower& tower, StageTwoRecord& stage);

// The rows of the tower in view, kept as one picture a little larger than the
// screen. While the Hero walks or stomps nothing in view changes, so the
// tower goes onto the screen as one image copy at the frame's scroll and
// shake instead of hundreds of sprite puts. When the first row in view moves
// by a few rows, the picture's pixels move with it and only the bands the
// move leaves out of date are painted; a changed cell has its band painted
// again; a changed shape, or a move by more than the picture, paints it all.

// The picture to paint into; nullptr while the sprites are missing.
Image* towerPictureImage(Game& game, Tower& tower);
// Whether the picture shows rows first .. first + 10 as the map and the
// shapes are now.
bool towerPictureCurrent(Game& game, Tower& tower, int32_t first);
// Notes that the picture now shows rows first .. first + 10.
void keepTowerPicture(Game& game, Tower& tower, int32_t first);

// How far a cell row at picture y Y paints above and below it: its tile,
// post and crack begin at Y - 2 and its post ends at Y + 39; both reaches
// leave room to spare.
constexpr int32_t ROW_REACH_UP = 8;
constexpr int32_t ROW_REACH_DOWN = 48;
struct PictureBand {
  int32_t top, bottom;  // picture rows top .. bottom - 1
};
// At most: the top, the bottom and one band per changed row.
constexpr int32_t MAX_PICTURE_BANDS = PICTURE_ROWS + 2;
// Moves the kept picture's pixels to show rows first .. first + 10 and lists
// the bands still out of date, top to bottom and apart; returns their count.
// The whole picture is one band when nothing kept can be used.
int32_t moveTowerPicture(Game& game, Tower& tower, int32_t first, PictureBand bands[MAX_PICTURE_BANDS]);

}  // namespace stage_two
