// The API on cpp-httplib (Debian's libcpp-httplib-dev): its thread pool
// serves the connections, its limits bound the request line and headers
// (8 KB each) and the body (64 KB), and its timeouts drop silent clients.
#include "scores/server.h"

#include <httplib.h>
#include <openssl/evp.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>

#include "base/messages.h"
#include "scores/api_json.h"
#include "scores/rate_limiter.h"
#include "scores/work_pool.h"

namespace scores {

namespace {

constexpr int BACKLOG = 1024;
constexpr int KEEP_ALIVE_REQUESTS = 1000;
constexpr int QUEUE_FULL_RETRY_SECONDS = 5;
constexpr int64_t OFFSET_MAX = 1'000'000'000;
constexpr size_t ID_DIGITS_MAX = 18;
constexpr const char* JSON_TYPE = "application/json";

std::string sha256Hex(const std::string& bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr);
  static constexpr char HEX[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < size; ++i) {
    hex += HEX[digest[i] >> 4];
    hex += HEX[digest[i] & 0xf];
  }
  return hex;
}

int64_t nowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}
int64_t steadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A whole number of at most digitsMax digits, nothing else.
bool parseCount(const std::string& text, size_t digitsMax, int64_t& value) {
  if (text.empty() || text.size() > digitsMax) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

void reply(httplib::Response& res, int status, const std::string& json) {
  res.status = status;
  res.set_content(json, JSON_TYPE);
}
void fail(httplib::Response& res, int status, const std::string& why) { reply(res, status, errorJson(why)); }

const char* reasonFor(int status) {
  switch (status) {
    case 400: return "the request is malformed";
    case 404: return "no such page";
    case 405: return "that method is not served here";
    case 413: return "the request is larger than 64 KB";
    case 414: return "the address is too long";
    default: return "the request failed";
  }
}

}  // namespace

struct ScoreServer::Parts {
  Parts(const ServerConfig& config, Store& store)
      : config(config),
        store(store),
        limiter(config.submissionsPerMinute),
        verifiers(config.verifyWorkers, config.verifyQueue) {}

  const ServerConfig config;
  Store& store;
  RateLimiter limiter;
  WorkPool verifiers;
  httplib::Server http;
  std::atomic<int> listenFd{-1};
  int port = 0;

  void routes();
  void submit(const httplib::Request& req, httplib::Response& res);
  void table(const httplib::Request& req, httplib::Response& res);
  void runById(const httplib::Request& req, httplib::Response& res);
  void replayById(const httplib::Request& req, httplib::Response& res);
  // A run with its rank, or a 500 when the store fails.
  void answerRun(httplib::Response& res, int status, const Run& run, bool withLink);
  void storeFailed(httplib::Response& res, const Outcome& outcome);
};

void ScoreServer::Parts::storeFailed(httplib::Response& res, const Outcome& outcome) {
  warn("database: " + outcome.why());
  fail(res, 500, "the table cannot be reached just now");
}

void ScoreServer::Parts::answerRun(httplib::Response& res, int status, const Run& run, bool withLink) {
  int64_t rank = 0;
  if (Outcome ranked = store.rankOf(run, rank); !ranked.ok()) return storeFailed(res, ranked);
  reply(res, status, runJson(run, rank, withLink));
}

void ScoreServer::Parts::submit(const httplib::Request& req, httplib::Response& res) {
  if (int64_t wait = limiter.take(req.remote_addr, steadyMs()); wait > 0) {
    res.set_header("Retry-After", std::to_string(wait));
    return fail(res, 429, "too many submissions from this address; try again in " + std::to_string(wait) + " s");
  }
  Submission submission;
  if (Outcome parsed = parseSubmission(req.body, submission); !parsed.ok()) return fail(res, 400, parsed.why());

  std::string hash = sha256Hex(submission.replay);
  Run existing;
  bool found = false;
  if (Outcome read = store.findByHash(hash, existing, found); !read.ok()) return storeFailed(res, read);
  if (found) return answerRun(res, 200, existing, true);

  auto done = std::make_shared<std::promise<Verification>>();
  std::future<Verification> verdict = done->get_future();
  const VerifierConfig& verifier = config.verifier;
  auto replay = std::make_shared<std::string>(submission.replay);
  auto job = [done, &verifier, replay] {
    try {
      done->set_value(verifyReplay(verifier, *replay));
    } catch (...) {
      done->set_exception(std::current_exception());  // answered 500 by the exception handler
    }
  };
  if (!verifiers.tryPost(job)) {
    res.set_header("Retry-After", std::to_string(QUEUE_FULL_RETRY_SECONDS));
    return fail(res, 503, "too many replays are waiting to be verified; try again shortly");
  }
  Verification verification = verdict.get();
  if (verification.result == VerifyResult::Unavailable) {
    warn("verifier: " + verification.why);
    return fail(res, 500, "replays cannot be verified just now");
  }
  if (verification.result == VerifyResult::Refused) return fail(res, 422, verification.why);

  NewRun added;
  added.run.name = submission.name;
  added.run.score = verification.verdict.score;
  added.run.stage = verification.verdict.lastStage;
  added.run.frames = verification.verdict.frames;
  added.run.version = verification.verdict.version;
  added.run.played = verification.verdict.played;
  added.run.submittedMs = nowMs();
  added.run.link = verification.link;
  added.hash = hash;
  added.replay = std::move(submission.replay);
  Run stored;
  bool existed = false;
  if (Outcome saved = store.add(added, stored, existed); !saved.ok()) return storeFailed(res, saved);
  answerRun(res, existed ? 200 : 201, stored, true);
}

void ScoreServer::Parts::table(const httplib::Request& req, httplib::Response& res) {
  int64_t limit = TABLE_PAGE_MAX, offset = 0;
  if (req.has_param("limit") &&
      (!parseCount(req.get_param_value("limit"), 3, limit) || limit < 1 || limit > TABLE_PAGE_MAX)) {
    return fail(res, 400, "limit must be a whole number from 1 to 100");
  }
  if (req.has_param("offset") && (!parseCount(req.get_param_value("offset"), 10, offset) || offset > OFFSET_MAX)) {
    return fail(res, 400, "offset must be a whole number from 0 to 1000000000");
  }
  std::vector<Run> runs;
  bool more = false;
  if (Outcome read = store.table(limit, offset, runs, more); !read.ok()) return storeFailed(res, read);
  reply(res, 200, tableJson(runs, offset, limit, more));
}

void ScoreServer::Parts::runById(const httplib::Request& req, httplib::Response& res) {
  int64_t id = 0;
  Run run;
  bool found = false;
  if (parseCount(req.matches[1], ID_DIGITS_MAX, id)) {
    if (Outcome read = store.find(id, run, found); !read.ok()) return storeFailed(res, read);
  }
  if (!found) return fail(res, 404, "no run has that id");
  answerRun(res, 200, run, true);
}

void ScoreServer::Parts::replayById(const httplib::Request& req, httplib::Response& res) {
  int64_t id = 0;
  std::string bytes;
  bool found = false;
  if (parseCount(req.matches[1], ID_DIGITS_MAX, id)) {
    if (Outcome read = store.replay(id, bytes, found); !read.ok()) return storeFailed(res, read);
  }
  if (!found) return fail(res, 404, "no run has that id");
  res.set_header("Content-Disposition", "attachment; filename=\"quarvel-" + std::to_string(id) + ".txt\"");
  res.set_content(bytes, "text/plain; charset=utf-8");
}

void ScoreServer::Parts::routes() {
  http.Post("/api/runs", [this](const httplib::Request& req, httplib::Response& res) { submit(req, res); });
  http.Get("/api/table", [this](const httplib::Request& req, httplib::Response& res) { table(req, res); });
  http.Get(R"(/api/runs/([^/]+))", [this](const httplib::Request& req, httplib::Response& res) { runById(req, res); });
  http.Get(R"(/api/runs/([^/]+)/replay)",
           [this](const httplib::Request& req, httplib::Response& res) { replayById(req, res); });
  http.Get("/health", [this](const httplib::Request&, httplib::Response& res) {
    std::vector<Run> runs;
    bool more = false;
    if (Outcome read = store.table(1, 0, runs, more); !read.ok()) return storeFailed(res, read);
    reply(res, 200, R"({"status":"ok"})");
  });

  // Every answer is JSON, errors too; nothing from the API is cached.
  http.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& res) {
    if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
    res.set_content(errorJson(reasonFor(res.status)), JSON_TYPE);
    return httplib::Server::HandlerResponse::Handled;
  }));
  http.set_exception_handler([](const httplib::Request&, httplib::Response& res, const std::exception_ptr&) {
    fail(res, 500, "the server failed on this request");
  });
  http.set_post_routing_handler([](const httplib::Request& req, httplib::Response& res) {
    res.set_header("X-Content-Type-Options", "nosniff");
    if (req.path.rfind("/api/", 0) == 0 || req.path == "/health") res.set_header("Cache-Control", "no-store");
  });
  if (!config.site.empty()) {
    http.set_mount_point("/", config.site);
    http.set_file_extension_and_mimetype_mapping("wasm", "application/wasm");
    http.set_file_extension_and_mimetype_mapping("webmanifest", "application/manifest+json");
    // Files whose names carry their content's hash never change.
    http.set_file_request_handler([](const httplib::Request& req, httplib::Response& res) {
      size_t dots = std::count(req.path.begin(), req.path.end(), '.');
      bool hashed = dots >= 2 && req.path.rfind("/icons/", 0) != 0;
      res.set_header("Cache-Control", hashed ? "public, max-age=31536000, immutable" : "no-cache");
    });
  }
}

ScoreServer::ScoreServer(const ServerConfig& config, Store& store) : parts_(std::make_unique<Parts>(config, store)) {
  Parts& parts = *parts_;
  int threads = config.httpThreads;
  parts.http.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
  parts.http.set_payload_max_length(REQUEST_MAX_BYTES);
  parts.http.set_read_timeout(config.clientTimeoutSeconds, 0);
  parts.http.set_write_timeout(config.clientTimeoutSeconds, 0);
  parts.http.set_keep_alive_timeout(config.clientTimeoutSeconds);
  parts.http.set_keep_alive_max_count(KEEP_ALIVE_REQUESTS);
  parts.http.set_tcp_nodelay(true);
  // The listening socket: reusable at once after a restart, and its fd kept
  // to lengthen the library's short backlog once it listens.
  std::atomic<int>& listenFd = parts.listenFd;
  parts.http.set_socket_options([&listenFd](int fd) {
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listenFd = fd;
  });
  parts.routes();
}

ScoreServer::~ScoreServer() = default;

Outcome ScoreServer::bind() {
  Parts& parts = *parts_;
  if (parts.config.port == 0) {
    parts.port = parts.http.bind_to_any_port(parts.config.host);
    if (parts.port <= 0) return Outcome::failure("cannot listen on " + parts.config.host);
  } else {
    if (!parts.http.bind_to_port(parts.config.host, parts.config.port)) {
      return Outcome::failure("cannot listen on " + parts.config.host + ":" + std::to_string(parts.config.port));
    }
    parts.port = parts.config.port;
  }
  if (parts.listenFd >= 0) ::listen(parts.listenFd, BACKLOG);
  return {};
}

int ScoreServer::port() const { return parts_->port; }

void ScoreServer::serve() { parts_->http.listen_after_bind(); }

void ScoreServer::stop() { parts_->http.stop(); }

}  // namespace scores
