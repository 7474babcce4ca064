// The table in one SQLite file: WAL, so readers never wait for the writer;
// synchronous=FULL, so a commit is on the disk before it is acknowledged.
#include <sqlite3.h>

#include "scores/connection_pool.h"
#include "scores/store.h"

namespace scores {

namespace {

constexpr int BUSY_TIMEOUT_MS = 10'000;

constexpr const char* SCHEMA = R"(
CREATE TABLE IF NOT EXISTS runs (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL,
  score INTEGER NOT NULL,
  stage INTEGER NOT NULL,
  frames INTEGER NOT NULL,
  version INTEGER NOT NULL,
  played TEXT,
  submitted_ms INTEGER NOT NULL,
  link TEXT NOT NULL,
  replay_hash TEXT NOT NULL UNIQUE,
  replay BLOB NOT NULL
);
CREATE INDEX IF NOT EXISTS runs_by_rank ON runs (score DESC, submitted_ms, id);
)";

#define RUN_COLUMNS "id, name, score, stage, frames, version, played, submitted_ms, link"

// The statements every connection prepares once.
enum Query { Insert, ByHash, ById, Replay, RankOf, Page, Remove, QUERY_COUNT };
constexpr const char* QUERIES[QUERY_COUNT] = {
    "INSERT INTO runs (name, score, stage, frames, version, played, submitted_ms, link, replay_hash, replay) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10) ON CONFLICT (replay_hash) DO NOTHING RETURNING id",
    "SELECT " RUN_COLUMNS " FROM runs WHERE replay_hash = ?1",
    "SELECT " RUN_COLUMNS " FROM runs WHERE id = ?1",
    "SELECT replay FROM runs WHERE id = ?1",
    "SELECT (SELECT COUNT(*) FROM runs WHERE score > ?1) + "
    "(SELECT COUNT(*) FROM runs WHERE score = ?1 AND (submitted_ms, id) < (?2, ?3)) + 1",
    "SELECT " RUN_COLUMNS " FROM runs ORDER BY score DESC, submitted_ms, id LIMIT ?1 OFFSET ?2",
    "DELETE FROM runs WHERE id = ?1",
};

struct Connection {
  sqlite3* db = nullptr;
  sqlite3_stmt* statements[QUERY_COUNT] = {};
  ~Connection() {
    for (sqlite3_stmt* statement : statements) sqlite3_finalize(statement);
    sqlite3_close(db);
  }
};

std::string errorOf(sqlite3* db, const char* doing) { return std::string(doing) + ": " + sqlite3_errmsg(db); }

// One use of a prepared statement: reset and its bindings cleared when it goes.
class Use {
 public:
  Use(Connection& connection, Query query) : db_(connection.db), statement_(connection.statements[query]) {}
  ~Use() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
  Use(const Use&) = delete;
  Use& operator=(const Use&) = delete;
  void bind(int index, int64_t value) { sqlite3_bind_int64(statement_, index, value); }
  void bind(int index, const std::string& text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void bindBlob(int index, const std::string& bytes) {
    sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }
  void bindNull(int index) { sqlite3_bind_null(statement_, index); }
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int step() { return sqlite3_step(statement_); }
  int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
  std::string text(int column) const {
    const void* bytes = sqlite3_column_blob(statement_, column);
    int size = sqlite3_column_bytes(statement_, column);
    return bytes ? std::string(static_cast<const char*>(bytes), static_cast<size_t>(size)) : std::string();
  }
  bool isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
  Run run() const {
    Run run;
    run.id = integer(0);
    run.name = text(1);
    run.score = integer(2);
    run.stage = static_cast<int>(integer(3));
    run.frames = integer(4);
    run.version = static_cast<int>(integer(5));
    if (!isNull(6)) run.played = text(6);
    run.submittedMs = integer(7);
    run.link = text(8);
    return run;
  }
  Outcome failure(const char* doing) const { return Outcome::failure(errorOf(db_, doing)); }

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_;
};

std::unique_ptr<Connection> connect(const std::string& file, std::string& why) {
  auto connection = std::make_unique<Connection>();
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(file.c_str(), &connection->db, flags, nullptr) != SQLITE_OK) {
    why = connection->db ? errorOf(connection->db, file.c_str()) : file + ": cannot open";
    return nullptr;
  }
  sqlite3_busy_timeout(connection->db, BUSY_TIMEOUT_MS);
  const char* setup = "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;";
  if (sqlite3_exec(connection->db, setup, nullptr, nullptr, nullptr) != SQLITE_OK ||
      sqlite3_exec(connection->db, SCHEMA, nullptr, nullptr, nullptr) != SQLITE_OK) {
    why = errorOf(connection->db, file.c_str());
    return nullptr;
  }
  for (int query = 0; query < QUERY_COUNT; ++query) {
    if (sqlite3_prepare_v3(connection->db, QUERIES[query], -1, SQLITE_PREPARE_PERSISTENT,
                           &connection->statements[query], nullptr) != SQLITE_OK) {
      why = errorOf(connection->db, "preparing a statement");
      return nullptr;
    }
  }
  return connection;
}

class SqliteStore : public Store {
 public:
  SqliteStore(const std::string& file, int connections)
      : pool_(connections, [file] {
          std::string why;
          return connect(file, why);
        }) {}

  Outcome add(const NewRun& added, Run& stored, bool& existed) override {
    auto lease = pool_.lease();
    if (!lease.get()) return Outcome::failure("cannot open the database");
    const Run& run = added.run;
    {
      Use use(*lease.get(), Insert);
      use.bind(1, run.name);
      use.bind(2, run.score);
      use.bind(3, run.stage);
      use.bind(4, run.frames);
      use.bind(5, run.version);
      if (run.played) {
        use.bind(6, *run.played);
      } else {
        use.bindNull(6);
      }
      use.bind(7, run.submittedMs);
      use.bind(8, run.link);
      use.bind(9, added.hash);
      use.bindBlob(10, added.replay);
      int result = use.step();
      existed = result == SQLITE_DONE;
      if (result == SQLITE_ROW) {
        stored = run;
        stored.id = use.integer(0);
        // The statement, and with it the commit, finishes here.
        result = use.step();
      }
      if (result != SQLITE_DONE) return use.failure("adding a run");
      if (!existed) return {};
    }
    bool found = false;
    Outcome read = byKey(*lease.get(), ByHash, added.hash, stored, found);
    return read.ok() && !found ? Outcome::failure("the run of this replay was deleted meanwhile") : read;
  }

  Outcome findByHash(const std::string& hash, Run& run, bool& found) override {
    auto lease = pool_.lease();
    if (!lease.get()) return Outcome::failure("cannot open the database");
    return byKey(*lease.get(), ByHash, hash, run, found);
  }

  Outcome find(int64_t id, Run& run, bool& found) override {
    auto lease = pool_.lease();
    if (!lease.get()) return Outcome::failure("cannot open the database");
    Use use(*lease.get(), ById);
    use.bind(1, id);
    return oneRun(use, run, found);
  }

  Outcome replay(int64_t id, std::string& bytes, bool& found) override {
    auto lease = pool_.lease();
    if (!lease.get()) return Outcome::failure("cannot open the database");
    Use use(*lease.get(), Replay);
    use.bind(1, id);
    int result = use.step();
    found = result == SQLITE_ROW;
    if (found) bytes = use.text(0);
    return found || result == SQLITE_DONE ? Outcome() : use.failure("reading a replay");
  }

  Outcome rankOf(const Run& run, int64_t& rank) override {
    auto lease = pool_.lease();
    if (!lease.get()) return Outcome::failure("cannot open the database");
    Use use(*lease.get(), RankOf);
    use.bind(1, run.score);
    use.bind(2, run.submittedMs);
    use.bind(3, run.id);
    if (use.step() != SQLITE_ROW) return use.failure("ranking a run");
    rank = use.integer(0);
    return {};
  }

  Outcome table(int64_t limit, int64_t offset, std::vector<Run>& runs, bool& more) override {
    auto lease = pool_.lease();
    if (!lease.get()) return Outcome::failure("cannot open the database");
    Use use(*lease.get(), Page);
    use.bind(1, limit + 1);
    use.bind(2, offset);
    runs.clear();
    int result;
    while ((result = use.step()) == SQLITE_ROW) runs.push_back(use.run());
    if (result != SQLITE_DONE) return use.failure("reading the table");
    more = static_cast<int64_t>(runs.size()) > limit;
    if (more) runs.pop_back();
    return {};
  }

  Outcome remove(int64_t id, bool& found) override {
    auto lease = pool_.lease();
    if (!lease.get()) return Outcome::failure("cannot open the database");
    Use use(*lease.get(), Remove);
    use.bind(1, id);
    if (use.step() != SQLITE_DONE) return use.failure("deleting a run");
    found = sqlite3_changes(lease.get()->db) > 0;
    return {};
  }

 private:
  static Outcome oneRun(Use& use, Run& run, bool& found) {
    int result = use.step();
    found = result == SQLITE_ROW;
    if (found) run = use.run();
    return found || result == SQLITE_DONE ? Outcome() : use.failure("reading a run");
  }
  static Outcome byKey(Connection& connection, Query query, const std::string& key, Run& run, bool& found) {
    Use use(connection, query);
    use.bind(1, key);
    return oneRun(use, run, found);
  }

  ConnectionPool<Connection> pool_;
};

}  // namespace

std::unique_ptr<Store> openSqliteStore(const std::string& file, int connections, Outcome& outcome) {
  // The first connection makes the schema and says what went wrong.
  std::string why;
  if (!connect(file, why)) {
    outcome = Outcome::failure(why);
    return nullptr;
  }
  outcome = {};
  return std::make_unique<SqliteStore>(file, connections);
}

}  // namespace scores
