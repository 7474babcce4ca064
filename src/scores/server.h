// The score server: the JSON API over HTTP, and the web site when given a
// folder. Every request is answered from the store; the server keeps only
// the rate limiter's buckets and the queue of verifications in flight.
#pragma once

#include <memory>
#include <string>

#include "base/outcome.h"
#include "scores/store.h"
#include "scores/verifier.h"

namespace scores {

struct ServerConfig {
  std::string host = "127.0.0.1";
  int port = 8000;                // 0: any free port (see ScoreServer::port)
  std::string site;               // the web site's folder, or "" for the API alone
  int httpThreads = 64;           // connections served at once
  int verifyWorkers = 2;          // verifications run at once
  size_t verifyQueue = 16;        // verifications that may wait for a worker
  int submissionsPerMinute = 10;  // per address; 0 for no limit
  int clientTimeoutSeconds = 5;   // a client silent this long is dropped
  VerifierConfig verifier;
};

class ScoreServer {
 public:
  ScoreServer(const ServerConfig& config, Store& store);
  ~ScoreServer();
  ScoreServer(const ScoreServer&) = delete;
  ScoreServer& operator=(const ScoreServer&) = delete;

  // Binds the address; the port it got (for port 0) is port() after.
  Outcome bind();
  int port() const;
  // Serves until stop(); the requests in flight are finished first.
  void serve();
  // From any thread.
  void stop();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace scores
