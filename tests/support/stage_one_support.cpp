#include "support/stage_one_support.h"

#include <sstream>

#include "gfx/sprites.h"
#include "machine/machine.h"
#include "support/session.h"

StageOneRecord stageInPlay(Game& game) {
  StageOneRecord stage;
  enterStageOne(stage);
  startStageOne(game, stage);
  stage.ship.state = ShipState::InPlay;
  return stage;
}

void useBlockFont(Toolkit& toolkit) {
  drawLine(toolkit, toolkit.spriteTable.sheet.get(), 0, 0, 127, 63, 0xFFFFFF, LineFilledBox);
}

std::vector<int> samplesOnChannel(const std::vector<SoundEvent>& log, int channel) {
  std::vector<int> samples;
  for (const SoundEvent& event : log)
    if (event.channel == channel) samples.push_back(event.sample);
  return samples;
}

unsigned rgbAt(Machine& machine, int x, int y) { return readPixel(machine, x, y) & 0xFFFFFFu; }
