// A fixed number of worker threads and a bounded queue in front of them:
// verification costs a core each, so no more run at once than there are
// workers, and no more wait than the queue holds (the rest are told to come
// back later).
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace scores {

class WorkPool {
 public:
  WorkPool(int workers, size_t queueMax);
  // Finishes every job already taken, then stops the workers.
  ~WorkPool();
  WorkPool(const WorkPool&) = delete;
  WorkPool& operator=(const WorkPool&) = delete;

  // false, and job not run, when the queue is full.
  bool tryPost(std::function<void()> job);

 private:
  void work();

  const size_t queueMax_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace scores
