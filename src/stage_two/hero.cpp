// The Hero's rules against the tower map.
#include <cstdlib>

#include "game/game.h"
#include "game/game_state.h"
#include "gfx/effects.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "machine/machine.h"
#include "stage_two/stage_two_internal.h"

namespace stage_two {

namespace {

constexpr uint32_t HERO_CYAN = 0x00FFFF;
constexpr int32_t LIFT_EXIT_X = 168;  // over the hole in column 10 of row 4
constexpr int32_t GOAL_CELL = CellGoal | CellFloor;

// m from 4 to 12: the Hero stands over one cell, its column. Otherwise it
// stands across the two cells whose common border is nearest to x.
bool overOneCell(int32_t m) { return m >= 4 && m <= 12; }
int32_t rightCellOfPair(int32_t x) { return (x + 8) / 16; }

int32_t storeyRowOf(int32_t y) { return (y - 20) / 32; }

void walk(Game& game, Tower& tower, Hero& hero) {
  hero.column = hero.x / 16;
  if (hero.column < 0) hero.column = 0;
  if (hero.column > TOWER_COLUMNS - 1) hero.column = TOWER_COLUMNS - 1;
  // Both tests use the column and m from before this frame's moves, so a Hero
  // walking towards a post stops in the middle of the cell beside it (m = 8).
  // The cells beyond the side edges read as posts, so in the post-less
  // storeys 72 and 142 the Hero stops at x = 8 and x = 312.
  int32_t column = hero.column;
  int32_t m = hero.x % 16;
  int32_t step = 0;
  if (keyHeld(game, SC_LEFT) && !((cellAt(tower, column - 1, hero.storeyRow) & CellWall) != 0 && m >= 4 && m <= 8))
    step -= 2;
  if (keyHeld(game, SC_RIGHT) && !((cellAt(tower, column + 1, hero.storeyRow) & CellWall) != 0 && m >= 8 && m <= 12))
    step += 2;
  hero.x += step;
  hero.m = hero.x % 16;
  hero.storeyRow = storeyRowOf(hero.y);

  // One key from the queue; "z" drops the Hero through whatever is under it,
  // except through the solid ground below the last floor of the tower.
  std::string key = readKey(game);
  if (key == "z" && hero.storeyRow + 1 <= TOWER_LAST_ROW) hero.state = HeroState::Falling;

  int32_t below = hero.storeyRow + 1;
  if (overOneCell(hero.m)) {
    if (cellAt(tower, hero.column, below) == CellHole) hero.state = HeroState::Falling;
  } else {
    int32_t k = rightCellOfPair(hero.x);
    if ((cellAt(tower, k - 1, below) & CellHole) != 0 && (cellAt(tower, k, below) & CellHole) != 0)
      hero.state = HeroState::Falling;
  }
}

void stomp(Game& game, Tower& tower, StageTwoRecord& stage) {
  Hero& hero = stage.hero;
  int32_t below = hero.storeyRow + 1;
  uint16_t cell = cellAt(tower, hero.column, below);
  if ((cell & CellLoose) != 0) {
    setCell(tower, hero.column, below, static_cast<uint16_t>(cell & ~CellLoose));
    playEffect(game, Sample::Shot, Channel::Hit, HALF_VOLUME);
    startFallingBlock(stage, 16 * hero.column + 8, 32 * hero.storeyRow + 41);
  }
  hero.stompTimer -= 1;
  if (hero.stompTimer != 0) return;
  hero.state = HeroState::Walking;
  hero.shake = false;
  if (overOneCell(hero.m) && (cellAt(tower, hero.column, below) & CellCracked) != 0) {
    setCell(tower, hero.column, below, CellHole);
    spawnEffect(game, 16 * hero.column - 1, 32 * hero.storeyRow + 30, FxPuff);
  }
}

void fall(Game& game, Tower& tower, StageTwoRecord& stage) {
  Hero& hero = stage.hero;
  hero.y += 4;
  stage.scroll += 4;
  hero.storeyRow = storeyRowOf(hero.y);
  if ((hero.y + 12) % 32 != 0) return;
  // The feet are level with a floor row: one more floor passed.
  addScore(game, 10);
  int32_t below = hero.storeyRow + 1;
  if (cellAt(tower, hero.column, below) == GOAL_CELL) stage.result = StageResult::Cleared;
  bool lands;
  if (overOneCell(hero.m)) {
    lands = (cellAt(tower, hero.column, below) & CellFloor) != 0;
  } else {
    int32_t k = rightCellOfPair(hero.x);
    lands = ((cellAt(tower, k - 1, below) | cellAt(tower, k, below)) & CellFloor) != 0;
  }
  if (lands) {
    hero.state = HeroState::Walking;
    playEffect(game, Sample::MarchD, Channel::Hit, FULL_VOLUME);
  }
}

}  // namespace

Hero newHero() { return Hero{}; }

void heroStompInput(Game& game, Hero& hero) {
  bool spaceHeld = keyHeld(game, SC_SPACE);
  if (spaceHeld && !hero.spaceWasHeld && hero.state == HeroState::Walking) {
    playEffect(game, Sample::Explosion, Channel::Explosion, HALF_VOLUME);
    hero.state = HeroState::Stomping;
    hero.shake = true;
    hero.stompTimer = STOMP_FRAMES;
  }
  hero.spaceWasHeld = spaceHeld;
}

void updateHero(Game& game, Tower& tower, StageTwoRecord& stage) {
  Hero& hero = stage.hero;
  switch (hero.state) {
    case HeroState::Arriving:
      hero.state = HeroState::LeavingLift;
      hero.invulnerable = false;
      hero.invulnerableCounter = 0;
      break;
    case HeroState::LeavingLift:
      hero.x += 2;
      if (hero.x >= LIFT_EXIT_X) hero.state = HeroState::Walking;
      break;
    case HeroState::Walking: walk(game, tower, hero); break;
    case HeroState::Stomping: stomp(game, tower, stage); break;
    case HeroState::Falling: fall(game, tower, stage); break;
    case HeroState::Out:
      hero.invulnerable = true;
      hero.shake = false;
      break;
    default: break;
  }
}

void heroFootsteps(Game& game, Hero& hero) {
  int32_t phase = std::abs((hero.x + 32) / 8) % 2;
  if (phase != hero.footstepPhase) playEffect(game, marchNote(phase), Channel::Footsteps, FULL_VOLUME);
  hero.footstepPhase = phase;
}

void heroDamage(Game& game, Hero& hero) {
  if (hero.hit) {
    hero.hit = false;
    if (!hero.invulnerable) {
      hero.hitPoints -= 1;
      spawnEffect(game, hero.x + 2, hero.y - 1, FxBlast);
      if (hero.hitPoints >= 0) {
        hero.invulnerable = true;
        hero.invulnerableCounter = 0;
      } else {
        hero.state = HeroState::Out;
        hero.gameOverCountdown = GAME_OVER_COUNTDOWN;
      }
    }
  }
  if (hero.invulnerable) {
    hero.invulnerableCounter += 1;
    if (hero.invulnerableCounter >= INVULNERABLE_FRAMES) {
      hero.invulnerable = false;
      hero.invulnerableCounter = 0;
    }
  }
}

void drawHero(Game& game, const Hero& hero, int32_t scroll) {
  if (hero.state == HeroState::Out) return;
  // While invulnerable the Hero blinks in four-frame steps.
  if (hero.invulnerable && (hero.invulnerableCounter / 4) % 2 == 0) return;
  int32_t screenY = hero.y - scroll + (hero.state == HeroState::Stomping ? 6 : 0);
  uint32_t colour = HERO_CYAN;
  RotoBlit(game, nullptr, hero.x, screenY, sprite(game, SprAlienA1 + hero.footstepPhase), 2.0f, 2.0f, 0.0f,
           Transparency::SkipMask, RecolourBlend, &colour);
}

}  // namespace stage_two
