// The app's frame loop: frames paced from the moment they start being shown.
#include <gtest/gtest.h>

#include "app/pacing.h"

TEST(FramePacing, PresentingCountsTowardTheSleepNotAfterIt) {
  FramePacer pacer;
  pacer.presenting(1000.0);  // a frame starts being shown ...
  EXPECT_EQ(pacer.waitEnd(1012.0, 30), 1030.0) << "... and 12 ms of presenting are part of its 30";
  EXPECT_EQ(pacer.waitEnd(1031.0, 1), 1032.0) << "the next waits count from when they are asked for";
  pacer.presenting(1040.0);
  EXPECT_EQ(pacer.waitEnd(1075.0, 30), 1070.0) << "a present slower than the sleep: no wait at all";
  pacer.presenting(1100.0);
  EXPECT_EQ(pacer.waitEnd(1100.5, 0), 1100.0) << "Ctrl in stage three runs flat out";
}
