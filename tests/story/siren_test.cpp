// Skipping a scene while its siren sounds: no stop request follows, and the
// sample plays on until it ends by itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/platform.h"
#include "story/story_support.h"
#include "support/session.h"

namespace {

TEST(StorySiren, SkippingWhileTheSirenSoundsLeavesItPlaying) {
  const std::string esc(1, KEY_ESC_CHAR);
  {
    TestSession session("", 1, true);
    SceneRun run = playScene(0, {}, [&](int t) {
      if (t == 1420) queueKeyValue(esc);
    });
    EXPECT_EQ(run.frames, 1421);
    const std::vector<SoundEvent> expected = {{1399, 8, 8, 255}};
    EXPECT_EQ(readSoundLog(session.soundLogPath), expected);
  }
  {
    TestSession session("", 1, true);
    SceneRun run = playScene(1, {}, [&](int t) {
      if (t == 180) queueKeyValue(esc);
    });
    EXPECT_EQ(run.frames, 181);
    const std::vector<SoundEvent> expected = {{167, 8, 8, 255}};
    EXPECT_EQ(readSoundLog(session.soundLogPath), expected);
  }
}

}  // namespace
