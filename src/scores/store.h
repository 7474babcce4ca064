// Where the table lives: SQLite (one file, WAL, every commit synced) or
// PostgreSQL. Every statement is prepared, its values bound, never spliced
// into the text. Calls may come from many threads at once; each takes a
// connection of its own from a small pool. Nothing is kept in the server
// between calls, so any number of servers may share one PostgreSQL.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/outcome.h"
#include "scores/run.h"

namespace scores {

constexpr int64_t TABLE_PAGE_MAX = 100;

class Store {
 public:
  virtual ~Store() = default;

  // Adds the run, committed before it returns; when a run of the same
  // replay is there already, stored is that one and existed is true.
  virtual Outcome add(const NewRun& run, Run& stored, bool& existed) = 0;
  virtual Outcome findByHash(const std::string& hash, Run& run, bool& found) = 0;
  virtual Outcome find(int64_t id, Run& run, bool& found) = 0;
  virtual Outcome replay(int64_t id, std::string& bytes, bool& found) = 0;
  // The run's place: 1 + the runs above it (a higher score, or the same
  // score submitted earlier).
  virtual Outcome rankOf(const Run& run, int64_t& rank) = 0;
  // Best first, earlier submission first among equals; more is true when
  // runs follow the page.
  virtual Outcome table(int64_t limit, int64_t offset, std::vector<Run>& runs, bool& more) = 0;
  virtual Outcome remove(int64_t id, bool& found) = 0;
};

// "sqlite:FILE" or "postgresql://..." (also "postgres://..."); connections
// sized for that many concurrent calls. The schema is made when missing.
Outcome openStore(const std::string& url, int connections, std::unique_ptr<Store>& store);

std::unique_ptr<Store> openSqliteStore(const std::string& file, int connections, Outcome& outcome);
std::unique_ptr<Store> openPostgresStore(const std::string& url, int connections, Outcome& outcome);

}  // namespace scores
