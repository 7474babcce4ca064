// Submissions per address: a bucket of `perMinute` tokens for each address,
// refilled evenly over a minute; a submission takes one. Memory stays
// bounded: buckets that have refilled are the same as none and are dropped.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace scores {

class RateLimiter {
 public:
  // perMinute 0: no limit.
  explicit RateLimiter(int perMinute, size_t maxAddresses = 100'000);

  // Takes a token for address at time nowMs (any steady clock in
  // milliseconds). 0 when allowed; otherwise the seconds (at least 1) until
  // a token is there again, for Retry-After.
  int64_t take(const std::string& address, int64_t nowMs);

 private:
  struct Bucket {
    double tokens = 0;
    int64_t lastMs = 0;
  };
  double refilled(const Bucket& bucket, int64_t nowMs) const;
  void dropFull(int64_t nowMs);

  const int perMinute_;
  const size_t maxAddresses_;
  std::mutex mutex_;
  std::unordered_map<std::string, Bucket> buckets_;
};

}  // namespace scores
