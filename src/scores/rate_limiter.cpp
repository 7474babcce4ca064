#include "scores/rate_limiter.h"

#include <algorithm>
#include <cmath>

namespace scores {

namespace {
constexpr double MS_PER_MINUTE = 60'000.0;
}

RateLimiter::RateLimiter(int perMinute, size_t maxAddresses) : perMinute_(perMinute), maxAddresses_(maxAddresses) {}

double RateLimiter::refilled(const Bucket& bucket, int64_t nowMs) const {
  double gained = static_cast<double>(std::max<int64_t>(0, nowMs - bucket.lastMs)) * perMinute_ / MS_PER_MINUTE;
  return std::min<double>(perMinute_, bucket.tokens + gained);
}

void RateLimiter::dropFull(int64_t nowMs) {
  for (auto it = buckets_.begin(); it != buckets_.end();) {
    it = refilled(it->second, nowMs) >= perMinute_ ? buckets_.erase(it) : std::next(it);
  }
}

int64_t RateLimiter::take(const std::string& address, int64_t nowMs) {
  if (perMinute_ <= 0) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = buckets_.find(address);
  if (found == buckets_.end()) {
    if (buckets_.size() >= maxAddresses_) dropFull(nowMs);
    // Still full of addresses mid-flood: the newcomer waits like the others.
    if (buckets_.size() >= maxAddresses_) return 1;
    found = buckets_.emplace(address, Bucket{static_cast<double>(perMinute_), nowMs}).first;
  }
  Bucket& bucket = found->second;
  bucket.tokens = refilled(bucket, nowMs);
  bucket.lastMs = nowMs;
  if (bucket.tokens >= 1.0) {
    bucket.tokens -= 1.0;
    return 0;
  }
  double waitMs = (1.0 - bucket.tokens) * MS_PER_MINUTE / perMinute_;
  return std::max<int64_t>(1, static_cast<int64_t>(std::ceil(waitMs / 1000.0)));
}

}  // namespace scores
