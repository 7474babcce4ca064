// quarvel-scores: the public high-score table. Serves the API (and the web
// site with --site) until SIGTERM or SIGINT, which finish the requests in
// flight first; or deletes one run (--delete ID) and ends.
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iostream>
#include <thread>

#include "base/messages.h"
#include "scores/server.h"

#ifndef QUARVEL_VERSION
#define QUARVEL_VERSION "0"
#endif

namespace {

using namespace scores;

constexpr int QUEUE_PER_WORKER = 8;
constexpr int64_t MB = 1 << 20;
constexpr int EXIT_USAGE = 2;
constexpr int DATABASE_CONNECTIONS = 16;
constexpr long SIGNAL_POLL_NS = 200'000'000;

constexpr const char* HELP = R"(usage: quarvel-scores --database URL [options]
       quarvel-scores --database URL --delete ID

The public high-score table of Quarvel: a score is taken only with its
replay, which the game verifies by playing it (quarvel --verify).

  --database URL        sqlite:FILE (one file, made when missing) or
                        postgresql://USER@HOST/NAME (libpq's URL form)
  --listen ADDR:PORT    where to serve (default 127.0.0.1:8000; port 0: any)
  --site DIR            serve the web game and the table's page from DIR too
  --verifier PATH       the game that verifies replays (default: quarvel beside
                        this program, else /usr/games/quarvel)
  --workers N           verifications at once (default: the number of cores)
  --queue N             verifications that may wait (default: 8 per worker)
  --rate N              submissions a minute from one address (default 10; 0: no limit)
  --threads N           connections served at once (default 64)
  --timeout S           seconds a silent client is waited for (default 5)
  --verify-seconds S    CPU and wall seconds a verification may take (default 10)
  --verify-memory MB    address space of a verification (default 1024)
  --scratch DIR         where replays are put for the game to read (default
                        $RUNTIME_DIRECTORY, else $TMPDIR, else /tmp)
  --delete ID           delete the run ID from the table and end
  --version, --help
)";

struct Options {
  ServerConfig server;
  std::string database;
  std::string scratchBase;
  int64_t deleteId = 0;
};

bool wholeNumber(const std::string& text, int64_t low, int64_t high, int64_t& value) {
  if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  value = std::stoll(text);
  return value >= low && value <= high;
}

std::string defaultVerifier() {
  std::error_code error;
  std::filesystem::path beside = std::filesystem::canonical("/proc/self/exe", error).parent_path() / "quarvel";
  if (!error && ::access(beside.c_str(), X_OK) == 0) return beside.string();
  return "/usr/games/quarvel";
}

// 0 to go on, else the exit code.
int parse(const std::vector<std::string>& args, Options& options) {
  ServerConfig& server = options.server;
  server.verifyWorkers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  int64_t queue = -1;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--help") {
      std::cout << HELP;
      return -1;
    }
    if (option == "--version") {
      std::cout << "quarvel-scores " << QUARVEL_VERSION << "\n";
      return -1;
    }
    if (i + 1 >= args.size()) {
      warn(option.rfind("--", 0) == 0 ? option + " needs a value" : "unknown argument " + option);
      return EXIT_USAGE;
    }
    const std::string& value = args[++i];
    int64_t number = 0;
    auto count = [&](int64_t low, int64_t high) {
      if (wholeNumber(value, low, high, number)) return true;
      warn(option + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
      return false;
    };
    if (option == "--database") {
      options.database = value;
    } else if (option == "--listen") {
      size_t colon = value.rfind(':');
      if (colon == std::string::npos || colon == 0 || !wholeNumber(value.substr(colon + 1), 0, 65535, number)) {
        warn("--listen must be ADDRESS:PORT, e.g. 127.0.0.1:8000");
        return EXIT_USAGE;
      }
      server.host = value.substr(0, colon);
      server.port = static_cast<int>(number);
    } else if (option == "--site") {
      server.site = value;
    } else if (option == "--verifier") {
      server.verifier.program = value;
    } else if (option == "--scratch") {
      options.scratchBase = value;
    } else if (option == "--workers") {
      if (!count(1, 256)) return EXIT_USAGE;
      server.verifyWorkers = static_cast<int>(number);
    } else if (option == "--queue") {
      if (!count(0, 100'000)) return EXIT_USAGE;
      queue = number;
    } else if (option == "--rate") {
      if (!count(0, 1'000'000)) return EXIT_USAGE;
      server.submissionsPerMinute = static_cast<int>(number);
    } else if (option == "--threads") {
      if (!count(2, 4096)) return EXIT_USAGE;
      server.httpThreads = static_cast<int>(number);
    } else if (option == "--timeout") {
      if (!count(1, 3600)) return EXIT_USAGE;
      server.clientTimeoutSeconds = static_cast<int>(number);
    } else if (option == "--verify-seconds") {
      if (!count(1, 3600)) return EXIT_USAGE;
      server.verifier.limits.cpuSeconds = static_cast<int>(number);
      server.verifier.limits.wallMs = number * 1000;
    } else if (option == "--verify-memory") {
      if (!count(16, 1 << 20)) return EXIT_USAGE;
      server.verifier.limits.memoryBytes = number * MB;
    } else if (option == "--delete") {
      if (!count(1, INT64_MAX / 2)) return EXIT_USAGE;
      options.deleteId = number;
    } else {
      warn("unknown option " + option + " (--help lists them)");
      return EXIT_USAGE;
    }
  }
  if (options.database.empty()) {
    warn("--database is needed: sqlite:FILE or postgresql://... (--help lists the options)");
    return EXIT_USAGE;
  }
  server.verifyQueue = static_cast<size_t>(queue >= 0 ? queue : int64_t{QUEUE_PER_WORKER} * server.verifyWorkers);
  // The game runs in the scratch folder: a relative path would not reach it.
  if (server.verifier.program.empty()) server.verifier.program = defaultVerifier();
  server.verifier.program = std::filesystem::absolute(server.verifier.program).string();
  return 0;
}

// A private folder for the replays being verified, removed at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::string base) {
    for (const char* variable : {"RUNTIME_DIRECTORY", "TMPDIR"}) {
      const char* value = std::getenv(variable);
      if (base.empty() && value && *value) base = std::string(value).substr(0, std::string(value).find(':'));
    }
    if (base.empty()) base = "/tmp";
    std::string pattern = base + "/quarvel-scores-XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  setProgramName("quarvel-scores");
  Options options;
  if (int code = parse(args, options); code != 0) return code < 0 ? 0 : code;

  // SIGTERM and SIGINT are taken by one thread, which stops the server; no
  // other thread ever sees them. SIGPIPE from a client gone is ignored.
  sigset_t quit;
  sigemptyset(&quit);
  sigaddset(&quit, SIGTERM);
  sigaddset(&quit, SIGINT);
  pthread_sigmask(SIG_BLOCK, &quit, nullptr);
  ::signal(SIGPIPE, SIG_IGN);

  std::unique_ptr<Store> store;
  // Requests beyond this many wait for a free connection: two cores gain
  // nothing from more, and PostgreSQL's 100 connections are shared by every
  // server on it.
  int connections = std::min(options.server.httpThreads, DATABASE_CONNECTIONS);
  if (Outcome opened = openStore(options.database, connections, store); !opened.ok()) {
    warn(opened.why());
    return 1;
  }
  if (options.deleteId > 0) {
    bool found = false;
    if (Outcome removed = store->remove(options.deleteId, found); !removed.ok()) {
      warn(removed.why());
      return 1;
    }
    if (!found) {
      warn("no run has the id " + std::to_string(options.deleteId));
      return 1;
    }
    std::cout << "deleted run " << options.deleteId << "\n";
    return 0;
  }

  ScratchFolder scratch(options.scratchBase);
  if (scratch.path().empty()) {
    warn("cannot make a scratch folder for the replays");
    return 1;
  }
  options.server.verifier.scratchFolder = scratch.path();
  if (::access(options.server.verifier.program.c_str(), X_OK) != 0) {
    warn("the verifier " + options.server.verifier.program + " cannot be run (--verifier names it)");
    return 1;
  }
  ScoreServer server(options.server, *store);
  if (Outcome bound = server.bind(); !bound.ok()) {
    warn(bound.why());
    return 1;
  }
  std::atomic<bool> served{false};
  // A signal may come before the server has begun to listen, when stopping
  // it does nothing yet: it is stopped again at each tick until it ends.
  std::thread signals([&server, &served, quit] {
    const timespec tick = {0, SIGNAL_POLL_NS};
    bool asked = false;
    while (!served) {
      asked = sigtimedwait(&quit, nullptr, &tick) > 0 || asked;
      if (asked) server.stop();
    }
  });
  warn("serving http://" + options.server.host + ":" + std::to_string(server.port()) + "/ with " +
       std::to_string(options.server.verifyWorkers) + " verifiers (" + options.server.verifier.program + ")");
  server.serve();
  served = true;
  signals.join();
  warn("stopped");
  return 0;
}
