// A machine session with the sprite sheet loaded and the sprite table and
// the effects ready, for the graphics toolkit's tests.
#pragma once

#include "gfx/toolkit.h"
#include "support/machine_session.h"

class GfxSession : public MachineSession {
 public:
  explicit GfxSession(uint32_t seed = 1, bool withSprites = true, std::unique_ptr<machine::Audio> audio = nullptr);
  ~GfxSession() override;
  Toolkit& toolkit;

 protected:
  GfxSession(std::shared_ptr<Toolkit> made, uint32_t seed, bool withSprites, std::unique_ptr<machine::Audio> audio);
};
