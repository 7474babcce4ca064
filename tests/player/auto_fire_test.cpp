// Auto fire in the window: holding Space through stage one fires again and
// again (without it, once), and the recording of the run replays headless,
// where there is no auto fire, to the very same frames.
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "game/game_state.h"
#include "machine/control.h"
#include "machine/machine.h"
#include "stage_one/stage_one.h"
#include "support/files.h"
#include "support/input.h"
#include "support/player_support.h"
#include "support/session.h"

namespace {

constexpr int64_t LAST_FRAME = 70;
constexpr int64_t HOLD_FROM = 10, HOLD_UNTIL = 66;  // the frames Space is held after

struct Replayed {
  std::vector<uint64_t> frames;
  int shots = 0;
};

// The window's run with Space held, recorded; then its recording headless.
Replayed holdFireAndReplay(const std::string& settings, std::vector<uint64_t>& windowFrames) {
  const std::string folder = makeScratchFolder("auto-fire");
  const std::string recordFile = folder + "/rec.txt";
  constexpr uint32_t SEED = 1;  // the ship lives through the hold
  {
    WindowRun run(SEED, settings, "", recordFile);
    windowFrames = stageOneFrames(
        run.game, LAST_FRAME,
        [](int64_t frame) {
          if (frame == HOLD_FROM) pushKey(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
          if (frame == HOLD_UNTIL) pushKey(SDL_SCANCODE_SPACE, SDLK_SPACE, false);
        },
        [&](Task<StageResult> stage) { run.play(std::move(stage)); });
  }
  Replayed replayed;
  {
    TestSession session(readFileText(recordFile), SEED, true);
    replayed.frames = stageOneFrames(
        session.game, LAST_FRAME, [](int64_t) {},
        [&](Task<StageResult> stage) { playToEnd(session.game, std::move(stage)); });
    for (const SoundEvent& sound : readSoundLog(session.soundLogPath))
      replayed.shots += sound.sample == static_cast<int>(Sample::Shot);
  }
  std::filesystem::remove_all(folder);
  return replayed;
}

}  // namespace

TEST(AutoFire, HoldingFireFiresAgainAndTheRecordingReplaysTheSameWithoutIt) {
  std::vector<uint64_t> plainWindow, autoWindow;
  const Replayed plain = holdFireAndReplay("", plainWindow);
  const Replayed automatic = holdFireAndReplay("auto_fire = yes\n", autoWindow);
  ASSERT_EQ(autoWindow.size(), static_cast<size_t>(LAST_FRAME));
  EXPECT_EQ(plain.frames, plainWindow);
  EXPECT_EQ(automatic.frames, autoWindow) << "the recording keeps auto fire's presses";
  EXPECT_EQ(plain.shots, 1) << "a held key fires once";
  EXPECT_GE(automatic.shots, 3) << "each time the last shot was gone";
}
