// Connections to a database, each used by one thread at a time: a thread
// leases one (made when none is free and fewer than the cap exist, else it
// waits) and gives it back when the lease goes.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace scores {

template <typename Connection>
class ConnectionPool {
 public:
  using Maker = std::function<std::unique_ptr<Connection>()>;
  ConnectionPool(int cap, Maker maker) : cap_(cap), maker_(std::move(maker)) {}

  class Lease {
   public:
    Lease(ConnectionPool& pool, std::unique_ptr<Connection> connection)
        : pool_(pool), connection_(std::move(connection)) {}
    ~Lease() {
      if (connection_) pool_.giveBack(std::move(connection_));
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    Lease(Lease&& other) noexcept : pool_(other.pool_), connection_(std::move(other.connection_)) {}
    Lease& operator=(Lease&&) = delete;
    // nullptr when a new connection could not be made.
    Connection* get() const { return connection_.get(); }
    // A broken connection is dropped instead of given back.
    void drop() {
      connection_.reset();
      pool_.forget();
    }

   private:
    ConnectionPool& pool_;
    std::unique_ptr<Connection> connection_;
  };

  Lease lease() {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [this] { return !idle_.empty() || made_ < cap_; });
    if (!idle_.empty()) {
      std::unique_ptr<Connection> connection = std::move(idle_.back());
      idle_.pop_back();
      return Lease(*this, std::move(connection));
    }
    ++made_;
    lock.unlock();
    std::unique_ptr<Connection> connection = maker_();
    if (!connection) forget();
    return Lease(*this, std::move(connection));
  }

 private:
  void giveBack(std::unique_ptr<Connection> connection) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      idle_.push_back(std::move(connection));
    }
    wake_.notify_one();
  }
  void forget() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      --made_;
    }
    wake_.notify_one();
  }

  const int cap_;
  Maker maker_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<std::unique_ptr<Connection>> idle_;
  int made_ = 0;
};

}  // namespace scores
