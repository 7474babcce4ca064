#include "support/gfx_session.h"

#include <stdexcept>

#include "gfx/effects.h"
#include "gfx/sprites.h"

GfxSession::GfxSession(uint32_t seed, bool withSprites, std::unique_ptr<machine::Backend> backend)
    : MachineSession(seed, std::move(backend)) {
  if (withSprites) {
    if (!loadSpriteSheet().ok()) throw std::runtime_error("the test session's sprite sheet did not load");
    buildSpriteTable();
  }
  clearEffects();
}

GfxSession::~GfxSession() { destroySpriteTable(); }
