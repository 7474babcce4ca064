// The table in PostgreSQL through libpq: any number of servers may share it.
// Every statement is prepared on each connection (PQprepare) and run with
// its values as parameters; a commit is acknowledged only once PostgreSQL
// has it on the disk (synchronous_commit on).
#include <libpq-fe.h>

#include <optional>

#include "scores/connection_pool.h"
#include "scores/store.h"

namespace scores {

namespace {

// Held while one server makes the schema, so that two starting at once do
// not both try.
constexpr const char* SCHEMA = R"(
SELECT pg_advisory_lock(72530019);
CREATE TABLE IF NOT EXISTS runs (
  id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  name TEXT NOT NULL,
  score BIGINT NOT NULL,
  stage INTEGER NOT NULL,
  frames BIGINT NOT NULL,
  version INTEGER NOT NULL,
  played TEXT,
  submitted_ms BIGINT NOT NULL,
  link TEXT NOT NULL,
  replay_hash TEXT NOT NULL UNIQUE,
  replay BYTEA NOT NULL
);
CREATE INDEX IF NOT EXISTS runs_by_rank ON runs (score DESC, submitted_ms, id);
SELECT pg_advisory_unlock(72530019);
)";
constexpr const char* SESSION = "SET synchronous_commit = on; SET statement_timeout = 10000;";

#define RUN_COLUMNS "id, name, score, stage, frames, version, played, submitted_ms, link"

enum Query { Insert, ByHash, ById, Replay, RankOf, Page, Remove, QUERY_COUNT };
constexpr const char* QUERIES[QUERY_COUNT] = {
    "INSERT INTO runs (name, score, stage, frames, version, played, submitted_ms, link, replay_hash, replay) "
    "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10) ON CONFLICT (replay_hash) DO NOTHING RETURNING id",
    "SELECT " RUN_COLUMNS " FROM runs WHERE replay_hash = $1",
    "SELECT " RUN_COLUMNS " FROM runs WHERE id = $1",
    "SELECT replay FROM runs WHERE id = $1",
    "SELECT (SELECT COUNT(*) FROM runs WHERE score > $1) + "
    "(SELECT COUNT(*) FROM runs WHERE score = $1 AND (submitted_ms, id) < ($2, $3)) + 1",
    "SELECT " RUN_COLUMNS " FROM runs ORDER BY score DESC, submitted_ms, id LIMIT $1 OFFSET $2",
    "DELETE FROM runs WHERE id = $1",
};
constexpr int REPLAY_PARAMETER = 10;  // the insert's one binary parameter

struct Connection {
  PGconn* conn = nullptr;
  ~Connection() { PQfinish(conn); }
};

struct ResultDeleter {
  void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

std::string errorOf(PGconn* conn, const char* doing) {
  std::string message = PQerrorMessage(conn);
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  if (size_t newline = message.find('\n'); newline != std::string::npos) message.resize(newline);
  return std::string(doing) + ": " + message;
}

std::unique_ptr<Connection> connect(const std::string& url, bool makeSchema, std::string& why) {
  auto connection = std::make_unique<Connection>();
  connection->conn = PQconnectdb(url.c_str());
  if (PQstatus(connection->conn) != CONNECTION_OK) {
    why = errorOf(connection->conn, "connecting to PostgreSQL");
    return nullptr;
  }
  for (const char* setup : {makeSchema ? SCHEMA : "", SESSION}) {
    if (!*setup) continue;
    Result result(PQexec(connection->conn, setup));
    ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
      why = errorOf(connection->conn, "setting up the database");
      return nullptr;
    }
  }
  for (int query = 0; query < QUERY_COUNT; ++query) {
    Result result(PQprepare(connection->conn, std::to_string(query).c_str(), QUERIES[query], 0, nullptr));
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
      why = errorOf(connection->conn, "preparing a statement");
      return nullptr;
    }
  }
  return connection;
}

// A statement's values, as text (and the replay as bytes).
using Values = std::vector<std::optional<std::string>>;

Run runOf(const PGresult* result, int row) {
  auto text = [&](int column) { return std::string(PQgetvalue(result, row, column)); };
  Run run;
  run.id = std::stoll(text(0));
  run.name = text(1);
  run.score = std::stoll(text(2));
  run.stage = std::stoi(text(3));
  run.frames = std::stoll(text(4));
  run.version = std::stoi(text(5));
  if (!PQgetisnull(result, row, 6)) run.played = text(6);
  run.submittedMs = std::stoll(text(7));
  run.link = text(8);
  return run;
}

class PostgresStore : public Store {
 public:
  PostgresStore(const std::string& url, int connections)
      : pool_(connections, [url] {
          std::string why;
          return connect(url, false, why);
        }) {}

  Outcome add(const NewRun& added, Run& stored, bool& existed) override {
    const Run& run = added.run;
    Values values = {run.name,
                     std::to_string(run.score),
                     std::to_string(run.stage),
                     std::to_string(run.frames),
                     std::to_string(run.version),
                     run.played,
                     std::to_string(run.submittedMs),
                     run.link,
                     added.hash,
                     added.replay};
    Result result;
    if (Outcome ran = execute(Insert, values, PGRES_TUPLES_OK, result, "adding a run"); !ran.ok()) return ran;
    existed = PQntuples(result.get()) == 0;
    if (!existed) {
      stored = run;
      stored.id = std::stoll(PQgetvalue(result.get(), 0, 0));
      return {};
    }
    bool found = false;
    Outcome read = findByHash(added.hash, stored, found);
    return read.ok() && !found ? Outcome::failure("the run of this replay was deleted meanwhile") : read;
  }

  Outcome findByHash(const std::string& hash, Run& run, bool& found) override {
    return oneRun(ByHash, hash, run, found);
  }

  Outcome find(int64_t id, Run& run, bool& found) override { return oneRun(ById, std::to_string(id), run, found); }

  Outcome replay(int64_t id, std::string& bytes, bool& found) override {
    Result result;
    if (Outcome ran = execute(Replay, {std::to_string(id)}, PGRES_TUPLES_OK, result, "reading a replay"); !ran.ok()) {
      return ran;
    }
    found = PQntuples(result.get()) > 0;
    if (found) bytes.assign(PQgetvalue(result.get(), 0, 0), static_cast<size_t>(PQgetlength(result.get(), 0, 0)));
    return {};
  }

  Outcome rankOf(const Run& ranked, int64_t& rank) override {
    Result result;
    Values values = {std::to_string(ranked.score), std::to_string(ranked.submittedMs), std::to_string(ranked.id)};
    if (Outcome ran = execute(RankOf, values, PGRES_TUPLES_OK, result, "ranking a run"); !ran.ok()) return ran;
    rank = std::stoll(PQgetvalue(result.get(), 0, 0));
    return {};
  }

  Outcome table(int64_t limit, int64_t offset, std::vector<Run>& runs, bool& more) override {
    Result result;
    Values values = {std::to_string(limit + 1), std::to_string(offset)};
    if (Outcome ran = execute(Page, values, PGRES_TUPLES_OK, result, "reading the table"); !ran.ok()) return ran;
    runs.clear();
    int rows = PQntuples(result.get());
    for (int row = 0; row < rows; ++row) runs.push_back(runOf(result.get(), row));
    more = static_cast<int64_t>(runs.size()) > limit;
    if (more) runs.pop_back();
    return {};
  }

  Outcome remove(int64_t id, bool& found) override {
    Result result;
    if (Outcome ran = execute(Remove, {std::to_string(id)}, PGRES_COMMAND_OK, result, "deleting a run"); !ran.ok()) {
      return ran;
    }
    found = std::string(PQcmdTuples(result.get())) != "0";
    return {};
  }

 private:
  // Runs a prepared statement; a connection found broken (the database
  // restarted) is dropped and the statement tried once more on a new one.
  // Every statement here may be run twice: the insert does nothing the
  // second time.
  Outcome execute(Query query, const Values& values, ExecStatusType expected, Result& result, const char* doing) {
    std::vector<const char*> pointers;
    std::vector<int> lengths, formats;
    for (size_t i = 0; i < values.size(); ++i) {
      pointers.push_back(values[i] ? values[i]->c_str() : nullptr);
      bool binary = query == Insert && i + 1 == REPLAY_PARAMETER;
      lengths.push_back(values[i] ? static_cast<int>(values[i]->size()) : 0);
      formats.push_back(binary ? 1 : 0);
    }
    int resultFormat = query == Replay ? 1 : 0;
    std::string name = std::to_string(query);
    std::string why = "cannot connect to the database";
    for (int attempt = 0; attempt < 2; ++attempt) {
      auto lease = pool_.lease();
      if (!lease.get()) continue;
      result.reset(PQexecPrepared(lease.get()->conn, name.c_str(), static_cast<int>(values.size()), pointers.data(),
                                  lengths.data(), formats.data(), resultFormat));
      if (PQresultStatus(result.get()) == expected) return {};
      why = errorOf(lease.get()->conn, doing);
      if (PQstatus(lease.get()->conn) == CONNECTION_OK) break;
      lease.drop();
    }
    return Outcome::failure(why);
  }

  Outcome oneRun(Query query, const std::string& key, Run& into, bool& found) {
    Result result;
    if (Outcome ran = execute(query, {key}, PGRES_TUPLES_OK, result, "reading a run"); !ran.ok()) return ran;
    found = PQntuples(result.get()) > 0;
    if (found) into = runOf(result.get(), 0);
    return {};
  }

  ConnectionPool<Connection> pool_;
};

}  // namespace

std::unique_ptr<Store> openPostgresStore(const std::string& url, int connections, Outcome& outcome) {
  std::string why;
  if (!connect(url, true, why)) {
    outcome = Outcome::failure(why);
    return nullptr;
  }
  outcome = {};
  return std::make_unique<PostgresStore>(url, connections);
}

}  // namespace scores
