// Ten submissions a minute from one address: a burst of ten, then one every
// six seconds; other addresses are not held back; memory stays bounded.
#include "scores/rate_limiter.h"

#include <gtest/gtest.h>

using scores::RateLimiter;

TEST(RateLimiter, TenAtOnceThenOneEverySixSeconds) {
  RateLimiter limiter(10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(limiter.take("10.0.0.1", 0), 0) << i;
  EXPECT_EQ(limiter.take("10.0.0.1", 0), 6);
  EXPECT_EQ(limiter.take("10.0.0.2", 0), 0);
  EXPECT_EQ(limiter.take("10.0.0.1", 3'000), 3);
  EXPECT_EQ(limiter.take("10.0.0.1", 6'000), 0);
  EXPECT_EQ(limiter.take("10.0.0.1", 6'500), 6);
  // A minute of quiet gives the whole burst back, never more.
  for (int i = 0; i < 10; ++i) EXPECT_EQ(limiter.take("10.0.0.1", 600'000), 0) << i;
  EXPECT_GT(limiter.take("10.0.0.1", 600'000), 0);
}

TEST(RateLimiter, NoLimitAtZero) {
  RateLimiter limiter(0);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(limiter.take("a", 0), 0);
}

TEST(RateLimiter, AFloodOfAddressesKeepsItBounded) {
  RateLimiter limiter(10, 3);
  for (const char* address : {"a", "b", "c"}) EXPECT_EQ(limiter.take(address, 0), 0);
  // Full of buckets still refilling: a newcomer waits too.
  EXPECT_EQ(limiter.take("d", 1), 1);
  // Once they have refilled they are forgotten and make room.
  EXPECT_EQ(limiter.take("d", 60'000), 0);
  EXPECT_EQ(limiter.take("e", 60'001), 0);
}
