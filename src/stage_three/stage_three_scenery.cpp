// Stage three's sky, the warning before the UFO arrives and the balloon the
// ship shows when the drill has come.
#include "game/game.h"
#include "gfx/rotoblit.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "machine/machine.h"
#include "stage_three/stage_three_internal.h"

namespace stage_three {

void drawStageThreeSky(Game& game) {
  for (int32_t i = 0; i < 24; ++i) {
    uint32_t colour = 0xFF000000u | static_cast<uint32_t>(2 * i) << 16 | static_cast<uint32_t>(21 + 7 * i) << 8 |
                      static_cast<uint32_t>(46 + 6 * i);
    drawLine(game, nullptr, 0, 10 * i, 319, 10 * i + 9, colour, LineFilledBox);
  }
}

void drawDoneBalloon(Game& game, const StageThreeRecord& stage) {
  if (stage.t < 1061 || stage.t > 1150) return;
  const StageThreeShip& ship = stage.ship;
  uint32_t white = 0xFFFFFF;
  drawLine(game, nullptr, ship.x, ship.y - 40, ship.x + 86, ship.y - 16, white, LineFilledBox);
  RotoBlit(game, nullptr, ship.x + 11, ship.y - 10, sprite(game, SprShip), 1.0f, 1.0f, 180.0f, Transparency::SkipMask,
           RecolourBlend, &white);
  drawText(game, ship.x + 3, ship.y - 30, "it is done", 0x000000, Outline::Yes);
}

// Three red flashes with a siren, then the UFO's set-up.
void warningStep(Game& game, StageThreeRecord& stage) {
  if (stage.warningTimer <= 0) return;
  stage.warningTimer -= 1;
  const int32_t timer = stage.warningTimer;
  if (timer == 0) stage.ufo.state = UfoState::Setup;
  if (timer > 20 && timer < 180 && (timer / 20) % 3 != 0) {
    drawLine(game, nullptr, 0, 60, 319, 160, 0xFF0000, LineFilledBox);
    drawText(game, 90, 80, "     WARNING !     ", 0x000000, Outline::Yes);
    drawText(game, 90, 112, "    A HUGE UFO     ", 0x000000, Outline::Yes);
    drawText(game, 90, 135, "IS APPROACHING FAST", 0x000000, Outline::Yes);
  }
  if (timer >= 20 && timer <= 180) {
    if (timer % 60 == 0) playEffect(game, Sample::Siren, Channel::Siren, FULL_VOLUME);
    if (timer % 60 == 20) playEffect(game, Sample::Siren, Channel::Siren, SILENT);
  }
}

}  // namespace stage_three
