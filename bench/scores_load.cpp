// The score server under load on the loopback address: readers fetching the
// first page of the table (100 runs) and submitters posting replays that
// each need verifying, all at once, for a number of seconds. Prints table
// reads and verified submissions per second with their p50 and p99.
//   scores_load PORT [--readers N] [--submitters N] [--seconds S] [--replay FILE]
// Without --replay, the replays are the stand-in verifier's
// (tests/scores/stand_in_verifier.py); with it, FILE with a line of its own
// appended each time, so that every one is new to the table and verified.
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int CONNECT_TIMEOUT_SECONDS = 5;
constexpr int READ_TIMEOUT_SECONDS = 60;

struct Tally {
  std::mutex mutex;
  std::vector<double> ms;       // latencies of the answers counted
  std::map<int, int> statuses;  // every answer, by status (0: no answer)
  void add(int status, double latency, bool counted) {
    std::lock_guard<std::mutex> lock(mutex);
    ++statuses[status];
    if (counted) ms.push_back(latency);
  }
};

double percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t at = std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size())));
  return values[at];
}

void report(const char* what, Tally& tally, double seconds) {
  std::printf("%-22s %8.1f /s   p50 %7.2f ms   p99 %7.2f ms   (%zu in %.1f s;", what,
              static_cast<double>(tally.ms.size()) / seconds, percentile(tally.ms, 0.50), percentile(tally.ms, 0.99),
              tally.ms.size(), seconds);
  for (const auto& [status, count] : tally.statuses) std::printf(" %d: %d", status, count);
  std::printf(")\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: scores_load PORT [--readers N] [--submitters N] [--seconds S] [--replay FILE]\n";
    return 2;
  }
  int port = std::atoi(argv[1]);
  int readers = 16, submitters = 4;
  double seconds = 10;
  std::string replay;
  for (int i = 2; i + 1 < argc; i += 2) {
    std::string option = argv[i], value = argv[i + 1];
    if (option == "--readers") {
      readers = std::stoi(value);
    } else if (option == "--submitters") {
      submitters = std::stoi(value);
    } else if (option == "--seconds") {
      seconds = std::stod(value);
    } else if (option == "--replay") {
      std::ifstream file(value, std::ios::binary);
      std::stringstream text;
      text << file.rdbuf();
      replay = text.str();
      if (replay.empty()) {
        std::cerr << "scores_load: cannot read " << value << "\n";
        return 2;
      }
    } else {
      std::cerr << "scores_load: unknown option " << option << "\n";
      return 2;
    }
  }
  const Clock::time_point start = Clock::now();
  const Clock::time_point end =
      start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  auto since = [](Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  };
  auto client = [port] {
    auto c = std::make_unique<httplib::Client>("127.0.0.1", port);
    c->set_keep_alive(true);
    c->set_connection_timeout(CONNECT_TIMEOUT_SECONDS, 0);
    c->set_read_timeout(READ_TIMEOUT_SECONDS, 0);
    return c;
  };

  Tally reads, submissions;
  std::atomic<long> serial{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < readers; ++i) {
    threads.emplace_back([&] {
      auto c = client();
      while (Clock::now() < end) {
        Clock::time_point t0 = Clock::now();
        auto answer = c->Get("/api/table?limit=100&offset=0");
        int status = answer ? answer->status : 0;
        reads.add(status, since(t0), status == 200);
        if (!answer) c = client();
      }
    });
  }
  std::string run = std::to_string(static_cast<long>(std::chrono::system_clock::now().time_since_epoch().count()));
  for (int i = 0; i < submitters; ++i) {
    threads.emplace_back([&, i] {
      auto c = client();
      while (Clock::now() < end) {
        long n = serial++;
        std::string text = replay.empty() ? "stand-in score=" + std::to_string((n * 7919) % 100000) + "\n# load " +
                                                run + " " + std::to_string(n) + "\n"
                                          : replay + "\n# load " + run + " " + std::to_string(n) + "\n";
        std::string body = nlohmann::json{{"name", "LOAD" + std::to_string(i)}, {"replay", text}}.dump();
        Clock::time_point t0 = Clock::now();
        auto answer = c->Post("/api/runs", body, "application/json");
        int status = answer ? answer->status : 0;
        submissions.add(status, since(t0), status == 201);
        if (!answer) c = client();
        if (status == 503 || status == 429) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  double took = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("%d readers, %d submitters, %.0f s on 127.0.0.1:%d\n", readers, submitters, seconds, port);
  report("table reads", reads, took);
  report("verified submissions", submissions, took);
  return 0;
}
