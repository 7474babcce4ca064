// The replay viewer's keys, as a player watching would press them.
#include "app/replay_viewer.h"

#include <gtest/gtest.h>

using Key = ReplayViewer::Key;

TEST(ReplayViewer, SpeedsUpAndDownThenSeeksBackFromNormalSpeed) {
  ReplayViewer viewer;
  EXPECT_EQ(viewer.speed(), 1);
  EXPECT_EQ(viewer.label(), "REPLAY");
  viewer.press(Key::Faster, 100);
  EXPECT_EQ(viewer.speed(), 4);
  EXPECT_EQ(viewer.label(), "REPLAY X4");
  viewer.press(Key::Faster, 100);
  viewer.press(Key::Faster, 100);
  EXPECT_EQ(viewer.speed(), 16) << "x16 is the fastest";
  viewer.press(Key::Slower, 100);
  viewer.press(Key::Slower, 100);
  EXPECT_EQ(viewer.speed(), 1);
  EXPECT_FALSE(viewer.seekWanted()) << "slowing down is no seek";

  viewer.press(Key::Slower, 1000);
  ASSERT_TRUE(viewer.seekWanted());
  EXPECT_EQ(viewer.takeSeek(), 1000 - ReplayViewer::SEEK_BACK_FRAMES);
  EXPECT_FALSE(viewer.takeSeek()) << "taken once";
  viewer.press(Key::Slower, 50);
  EXPECT_EQ(viewer.takeSeek(), 1) << "never before the first frame";
  viewer.press(Key::Slower, 1);
  EXPECT_FALSE(viewer.takeSeek()) << "at the first frame there is nothing to go back to";

  viewer.seekTo(700);
  EXPECT_TRUE(viewer.catchingUp(699));
  EXPECT_FALSE(viewer.catchingUp(700));
  EXPECT_EQ(viewer.speed(), 1) << "a seek plays on at the speed it was asked at";
}

TEST(ReplayViewer, PauseStepsOneFrameAtATimeAndEscLeaves) {
  ReplayViewer viewer;
  viewer.press(Key::Step, 10);
  EXPECT_FALSE(viewer.takeStep()) << "a step only while paused";
  viewer.press(Key::Pause, 10);
  EXPECT_TRUE(viewer.paused());
  EXPECT_EQ(viewer.label(), "REPLAY PAUSED");
  viewer.press(Key::Step, 10);
  EXPECT_TRUE(viewer.takeStep());
  EXPECT_FALSE(viewer.takeStep());
  EXPECT_TRUE(viewer.paused()) << "still paused after the step";
  viewer.press(Key::Pause, 11);
  EXPECT_FALSE(viewer.paused());
  EXPECT_FALSE(viewer.leaving());
  viewer.press(Key::Leave, 11);
  EXPECT_TRUE(viewer.leaving());
}
