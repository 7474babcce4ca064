// The Riser, the Faller and the falling blocks.
#include <cmath>
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

constexpr uint32_t BLOCK_RED = 0xFF0000;
constexpr uint32_t RISER_BLUE = 0x0000FF;
constexpr uint32_t FALLER_WHITE = 0xFFFFFF;
constexpr int32_t RISER_COLUMN = 8;    // placed at x = 16 * 8 + 7
constexpr int32_t FALLER_COLUMN = 11;  // placed at x = 16 * 11 + 7
constexpr int32_t SQUASH_FRAMES = 6;

bool within(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// A walker waiting to be placed is not really there yet: blocks pass it. Without this a Faller hit by a block would be
// hit again, unplaced at the same spot, by the same block in the following frames.
bool standsInTheTower(const Walker& walker) { return walker.active && walker.state != WalkerState::ToBePlaced; }

bool heroCanBeTouched(const Hero& hero) { return hero.state != HeroState::Out && !hero.invulnerable; }

void touchHero(Game& game, Hero& hero, Walker& walker) {
  hero.hit = true;
  walker.active = false;
  walker.state = WalkerState::Out;
  playEffect(game, Sample::Hit, Channel::Touch, KEEP_VOLUME);
}

void placeWalker(Walker& walker, const Hero& hero, int32_t column, int32_t row) {
  walker.column = column;
  walker.row = row;
  walker.x = 16 * column + 7;
  walker.y = 32 * row + 18;
  walker.dx = dxTowardHero(hero, walker.x);
  walker.state = WalkerState::Walking;
}

// A walker climbs or drops only when its x offset is 9.
bool atHoleOffset(const Walker& walker) { return (walker.xOffset + 8) % 16 == 1; }

void updateBlock(Game& game, Tower& tower, StageTwoRecord& stage, FallingBlock& block) {
  block.y += 4;
  int32_t column = (block.x - 7) / 16;
  int32_t row = (block.y - 1) / 32;
  if ((block.y - 1) % 32 == 28 && (cellAt(tower, column, row + 1) & CellFloor) != 0) {
    block.active = false;
    spawnEffect(game, block.x - 10, block.y - 8, FxShipBurst);
  }
  // A block that burst this frame still hits what it reached, and a block
  // goes on falling after destroying a walker.
  Walker& riser = stage.riser;
  if (standsInTheTower(riser) && within(block.x, riser.x - 10, riser.x + 9) &&
      within(block.y, riser.y - 14, riser.y + 14)) {
    riser.state = WalkerState::ToBePlaced;
    spawnEffect(game, riser.x, riser.y, FxBlastShort);
    addScore(game, 100);
  }
  Walker& faller = stage.faller;
  if (standsInTheTower(faller) && within(block.x, faller.x - 13, faller.x + 12) &&
      within(block.y, faller.y - 14, faller.y + 14)) {
    faller.active = false;
    faller.state = WalkerState::Out;
    spawnEffect(game, faller.x, faller.y, FxBlastShort);
    addScore(game, 1000);
  }
  uint32_t colour = BLOCK_RED;
  drawImage(game, nullptr, block.x - 5, block.y - 4 - stage.scroll, sprite(game, SprAlienAFlipped), DrawCustom,
            RecolourBlend, &colour);
}

void climb(Game& game, Tower& tower, Walker& riser, const Hero& hero) {
  riser.y -= 4;
  riser.row = (riser.y - 16) / 32;
  if ((riser.y + 14) % 32 == 0 && (cellAt(tower, riser.column, riser.row) & CellFloor) != 0) {
    riser.state = WalkerState::Walking;
    playEffect(game, Sample::MarchD, Channel::Hit, FULL_VOLUME);
    riser.dx = dxTowardHero(hero, riser.x);
  }
}

void drop(Game& game, Tower& tower, Walker& faller, const Hero& hero) {
  faller.y += 4;
  faller.row = (faller.y - 16) / 32;
  if ((faller.y + 14) % 32 == 0 && (cellAt(tower, faller.column, faller.row + 1) & CellFloor) != 0) {
    faller.state = WalkerState::FallerSquashing;
    faller.squashCounter = 0;
    faller.squash = 0.0f;
    faller.squashDirection = 1;
    playEffect(game, Sample::MarchD, Channel::Hit, FULL_VOLUME);
    faller.dx = dxTowardHero(hero, faller.x);
  }
}

// Widens and flattens for five frames after a landing, then springs back.
void squash(Walker& faller) {
  faller.squashCounter += 1;
  faller.squash = static_cast<float>(static_cast<double>(faller.squash) + 0.3 * faller.squashDirection);
  if (faller.squash >= 0.9) faller.squashDirection = -faller.squashDirection;
  if (faller.squash <= -0.9) faller.squashDirection = -faller.squashDirection;
  if (faller.squashCounter == SQUASH_FRAMES) {
    faller.squashCounter = 0;
    faller.squash = 0.0f;
    faller.state = WalkerState::Walking;
  }
}

void drawRiser(Game& game, Walker& riser, int32_t scroll) {
  riser.frame = (std::abs(riser.x / 16) + riser.y / 8) & 1;
  uint32_t colour = RISER_BLUE;
  RotoBlit(game, nullptr, riser.x, riser.y - scroll, sprite(game, SprAlienB1 + riser.frame), 1.0f, 2.0f, 0.0f,
           Transparency::SkipMask, RecolourBlend, &colour);
}

void drawFaller(Game& game, Walker& faller, int32_t scroll) {
  faller.frame = std::abs(faller.x / 16) & 1;
  double centreY = static_cast<double>(faller.y - scroll) + 5.0 * faller.squash + 2.0;
  uint32_t colour = FALLER_WHITE;
  RotoBlit(game, nullptr, faller.x, static_cast<int32_t>(std::lround(centreY)), sprite(game, SprAlienC1 + faller.frame),
           1.0f + faller.squash, 2.0f - faller.squash, 0.0f, Transparency::SkipMask, RecolourBlend, &colour);
}

}  // namespace

int32_t dxTowardHero(const Hero& hero, int32_t x) { return hero.x < x ? -2 : 2; }

// Beyond the side edges of the tower cellAt answers with wall posts, so a
// walker turns at offset 9 of column 0 or 19 as it would beside a post; this
// keeps both walkers inside the tower in the post-less storeys 72 and 142.
void walkAlongStorey(Tower& tower, Walker& walker) {
  walker.x += walker.dx;
  walker.column = walker.x / 16;
  walker.row = walker.y / 32;
  walker.xOffset = walker.x % 16;
  if (walker.dx < 0) {
    if ((cellAt(tower, walker.column - 1, walker.row) & CellWall) != 0 && walker.xOffset < 10) walker.dx = 2;
  } else {
    if ((cellAt(tower, walker.column + 1, walker.row) & CellWall) != 0 && walker.xOffset > 8) walker.dx = -2;
  }
}

void startFallingBlock(StageTwoRecord& stage, int32_t x, int32_t y) {
  for (FallingBlock& block : stage.blocks) {
    if (block.active) continue;
    block.active = true;
    block.x = x;
    block.y = y;
    return;
  }
}

void updateFallingBlocks(Game& game, Tower& tower, StageTwoRecord& stage) {
  for (FallingBlock& block : stage.blocks) {
    if (block.active) updateBlock(game, tower, stage, block);
  }
}

void riserStep(Game& game, Tower& tower, StageTwoRecord& stage) {
  Walker& riser = stage.riser;
  Hero& hero = stage.hero;
  if (!riser.active && hero.storeyRow > 4) {
    riser.active = true;
    riser.state = WalkerState::ToBePlaced;
  }
  // A Riser left more than three storeys above the Hero is placed anew.
  if (hero.storeyRow > riser.row + 3) {
    riser.active = true;
    riser.state = WalkerState::ToBePlaced;
  }
  if (!riser.active) return;
  switch (riser.state) {
    case WalkerState::ToBePlaced: placeWalker(riser, hero, RISER_COLUMN, hero.storeyRow + 5); break;
    case WalkerState::Walking:
      walkAlongStorey(tower, riser);
      if (atHoleOffset(riser) && cellAt(tower, riser.column, riser.row) == CellHole)
        riser.state = WalkerState::RiserClimbing;
      break;
    case WalkerState::RiserClimbing: climb(game, tower, riser, hero); break;
    default: break;
  }
  if (heroCanBeTouched(hero) && within(hero.x, riser.x - 11, riser.x + 10) &&
      within(hero.y, riser.y - 14, riser.y + 14)) {
    touchHero(game, hero, riser);
  }
  if (riser.active) drawRiser(game, riser, stage.scroll);
}

void fallerStep(Game& game, Tower& tower, StageTwoRecord& stage) {
  Walker& faller = stage.faller;
  Hero& hero = stage.hero;
  bool wasActive = faller.active;
  if (!faller.active) {
    // Switched on here, placed one frame later.
    if (hero.storeyRow > 8) {
      faller.active = true;
      faller.state = WalkerState::ToBePlaced;
    }
  } else if (hero.storeyRow < faller.row - 4 || faller.row < hero.storeyRow - 5) {
    faller.state = WalkerState::ToBePlaced;
  }
  if (wasActive) {
    switch (faller.state) {
      case WalkerState::ToBePlaced: placeWalker(faller, hero, FALLER_COLUMN, hero.storeyRow - 4); break;
      case WalkerState::Walking:
        walkAlongStorey(tower, faller);
        if (atHoleOffset(faller) && cellAt(tower, faller.column, faller.row + 1) == CellHole)
          faller.state = WalkerState::FallerFalling;
        break;
      case WalkerState::FallerFalling: drop(game, tower, faller, hero); break;
      case WalkerState::FallerSquashing: squash(faller); break;
      default: break;
    }
    if (heroCanBeTouched(hero) && within(hero.x, faller.x - 13, faller.x + 12) &&
        within(hero.y, faller.y - 10, faller.y + 14)) {
      touchHero(game, hero, faller);
    }
  }
  if (faller.active) drawFaller(game, faller, stage.scroll);
}

void retireWalkers(StageTwoRecord& stage) {
  stage.riser = Walker{};
  stage.faller = Walker{};
}

}  // namespace stage_two
