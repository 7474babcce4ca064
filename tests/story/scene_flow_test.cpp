// How Esc skips a scene, and what it leaves behind for
// the next scene: Esc let go, an empty key queue and page 0 on show.
#include <gtest/gtest.h>

#include <string>

#include "machine/machine.h"
#include "story/story.h"
#include "support/session.h"
#include "support/story_support.h"

namespace {

const std::string ESC(1, KEY_ESC_CHAR);

TEST(StoryFlow, EscTakenFromTheQueueEndsTheSceneAfterThatFrame) {
  TestSession session;
  for (int scene = 0; scene < 4; scene++) {
    SceneRun run = playScene(scene, {}, [](int t) {
      if (t == 40) queueKeyValue(ESC);
    });
    EXPECT_EQ(run.frames, 41) << "scene " << scene;
  }
}

TEST(StoryFlow, OtherKeysAreSwallowedOnePerFrame) {
  TestSession session;
  SceneRun run = playScene(3, {}, [](int t) {
    if (t == 10) {
      for (const std::string& key : {std::string("a"), std::string(" "), keyWithoutCharacter(), ESC})
        queueKeyValue(key);
    }
  });
  EXPECT_EQ(run.frames, 14);
}

TEST(StoryFlow, SkippingWhileTheSirenSoundsLeavesItPlaying) {
  struct Skip {
    int scene, t;
    SoundEvent sirenOn;
  };
  for (Skip skip : {Skip{0, 1420, {1399, 8, 8, 255}}, Skip{1, 180, {167, 8, 8, 255}}}) {
    TestSession session("", 1, /*withSound=*/true);
    SceneRun run = playScene(skip.scene, {}, [&](int t) {
      if (t == skip.t) queueKeyValue(ESC);
    });
    EXPECT_EQ(run.frames, skip.t + 1);
    EXPECT_EQ(readSoundLog(session.soundLogPath), std::vector<SoundEvent>{skip.sirenOn});
  }
}

TEST(StoryFlow, HoldingEscWithoutTypingItDoesNotSkip) {
  // Only the key queue counts during the scene; the held state is looked at
  // only after the end, to wait for the release.
  TestSession session;
  SceneRun run = playScene(3, {}, [](int t) {
    if (t == 5) pressKey(SC_ESC, "");
    if (t == 100) releaseKey(SC_ESC);
  });
  EXPECT_EQ(run.frames, 251);
}

TEST(StoryFlow, WaitsForEscReleaseAndEmptiesTheQueueBeforeReturning) {
  // Esc goes down at 600 ms (read in frame 21), stays held while more keys
  // are typed, and is let go at 5000 ms.
  TestSession session("600 down esc\n700 type abc\n3000 down space\n5000 up esc\n");
  SceneRun run = playScene(0, {});
  EXPECT_EQ(run.frames, 21);
  EXPECT_GE(virtualMs(), 5000);
  EXPECT_LT(virtualMs(), 5010);
  EXPECT_EQ(readKey(), "");
}

TEST(StoryFlow, EscSkipsOnlyTheSceneShowingWhenScenesRunBackToBack) {
  // Held through the end of scene 1 and typed again meanwhile: scene 2 still
  // plays in full.
  TestSession session("900 down esc\n1500 type \x1b\x1b\n2000 up esc\n");
  SceneRun one = playScene(1, {});
  SceneRun two = playScene(2, {});
  EXPECT_EQ(one.frames, 31);
  EXPECT_EQ(two.frames, 451);
}

TEST(StoryFlow, LeavesPageZeroAsWorkAndVisiblePage) {
  TestSession session;
  for (int frames : {100, 101}) {  // an even and an odd number of swaps
    SceneRun run = playScene(3, {}, [frames](int t) {
      if (t == frames - 1) queueKeyValue(ESC);
    });
    ASSERT_EQ(run.frames, frames);
    // Drawn on the work page, seen on the visible one.
    setPixel(nullptr, 7, 9, 0x123456);
    EXPECT_EQ(machine::visiblePage()[9 * 320 + 7], 0x123456u);
  }
}

}  // namespace
