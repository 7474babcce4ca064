#include "support/gfx_session.h"

#include <stdexcept>

#include "gfx/effects.h"
#include "gfx/sprites.h"

GfxSession::GfxSession(uint32_t seed, bool withSprites, std::unique_ptr<machine::Audio> audio)
    : GfxSession(std::make_unique<Toolkit>(), seed, withSprites, std::move(audio)) {}

GfxSession::GfxSession(std::shared_ptr<Toolkit> made, uint32_t seed, bool withSprites,
                       std::unique_ptr<machine::Audio> audio)
    : MachineSession(std::move(made), seed, std::move(audio)), toolkit(static_cast<Toolkit&>(machine)) {
  if (withSprites) {
    if (!loadSpriteSheet(toolkit).ok()) throw std::runtime_error("the test session's sprite sheet did not load");
    buildSpriteTable(toolkit);
  }
  clearEffects(toolkit);
}

GfxSession::~GfxSession() { destroySpriteTable(toolkit); }
