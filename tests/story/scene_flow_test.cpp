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
  Game& game = session.game;
  for (int scene = 0; scene < 4; scene++) {
    SceneRun run = playScene(game, scene, {}, [&](int t) {
      if (t == 40) queueKeyValue(game, ESC);
    });
    EXPECT_EQ(run.frames, 41) << "scene " << scene;
  }
}

TEST(StoryFlow, OtherKeysAreSwallowedOnePerFrame) {
  TestSession session;
  Game& game = session.game;
  SceneRun run = playScene(game, 3, {}, [&](int t) {
    if (t == 10) {
      for (const std::string& key : {std::string("a"), std::string(" "), keyWithoutCharacter(), ESC})
        queueKeyValue(game, key);
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
    Game& game = session.game;
    SceneRun run = playScene(game, skip.scene, {}, [&](int t) {
      if (t == skip.t) queueKeyValue(game, ESC);
    });
    EXPECT_EQ(run.frames, skip.t + 1);
    EXPECT_EQ(readSoundLog(session.soundLogPath), std::vector<SoundEvent>{skip.sirenOn});
  }
}

TEST(StoryFlow, HoldingEscWithoutTypingItDoesNotSkip) {
  // Only the key queue counts during the scene; the held state is looked at
  // only after the end, to wait for the release.
  TestSession session;

  Game& game = session.game;
  SceneRun run = playScene(game, 3, {}, [&](int t) {
    if (t == 5) pressKey(game, SC_ESC, "");
    if (t == 100) releaseKey(game, SC_ESC);
  });
  EXPECT_EQ(run.frames, 251);
}

TEST(StoryFlow, WaitsForEscReleaseAndEmptiesTheQueueBeforeReturning) {
  // Esc goes down at 600 ms (read in frame 21), stays held while more keys
  // are typed, and is let go at 5000 ms.
  TestSession session("600 down esc\n700 type abc\n3000 down space\n5000 up esc\n");

  Game& game = session.game;
  SceneRun run = playScene(game, 0, {});
  EXPECT_EQ(run.frames, 21);
  EXPECT_GE(virtualMs(game), 5000);
  EXPECT_LT(virtualMs(game), 5010);
  EXPECT_EQ(readKey(game), "");
}

TEST(StoryFlow, EscSkipsOnlyTheSceneShowingWhenScenesRunBackToBack) {
  // Held through the end of scene 1 and typed again meanwhile: scene 2 still
  // plays in full.
  TestSession session("900 down esc\n1500 type \x1b\x1b\n2000 up esc\n");

  Game& game = session.game;
  SceneRun one = playScene(game, 1, {});
  SceneRun two = playScene(game, 2, {});
  EXPECT_EQ(one.frames, 31);
  EXPECT_EQ(two.frames, 451);
}

TEST(StoryFlow, LeavesPageZeroAsWorkAndVisiblePage) {
  TestSession session;
  Game& game = session.game;
  for (int frames : {100, 101}) {  // an even and an odd number of swaps
    SceneRun run = playScene(game, 3, {}, [&game, frames](int t) {
      if (t == frames - 1) queueKeyValue(game, ESC);
    });
    ASSERT_EQ(run.frames, frames);
    // Drawn on the work page, seen on the visible one.
    setPixel(game, nullptr, 7, 9, 0x123456);
    EXPECT_EQ(machine::visiblePage(game)[9 * 320 + 7], 0x123456u);
  }
}

}  // namespace
