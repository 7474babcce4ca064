#include "support/stage_one_support.h"

#include <sstream>

#include "gfx/sprites.h"
#include "platform/platform.h"
#include "support/session.h"

StageOneRecord fieldInPlay() {
  StageOneRecord stage;
  enterStageOne(stage);
  startStageOne(stage);
  stage.ship.state = ShipState::InPlay;
  return stage;
}

void useBarSprites() {
  for (int id = 0; id <= SprShipBurst2; ++id) {
    Image* image = sprite(id);
    if (image == nullptr) continue;
    drawLine(image, 0, 0, image->width - 1, image->height - 1, MASK_COLOUR, LineFilledBox);
    const int middle = image->width / 2;
    drawLine(image, middle - 1, 1, middle + 1, 8, 0xFFFFFF, LineFilledBox);
  }
}

void useBlockFont() { drawLine(spriteTable.sheet, 0, 0, 127, 63, 0xFFFFFF, LineFilledBox); }

std::vector<int> samplesOnChannel(const std::vector<SoundEvent>& log, int channel) {
  std::vector<int> samples;
  for (const SoundEvent& event : log)
    if (event.channel == channel) samples.push_back(event.sample);
  return samples;
}

unsigned rgbAt(int x, int y) { return readPixel(x, y) & 0xFFFFFFu; }
