// nlohmann's JSON (Debian's nlohmann-json3-dev): a strict reader (UTF-8
// checked, no comments, no trailing commas) that reports errors as
// exceptions, caught here and turned into one line.
#include "scores/api_json.h"

#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

#include "scores/names.h"

namespace scores {

namespace {

using nlohmann::json;

// The largest figures a verdict may carry: an hour of game time is about
// 120,000 frames; scores stay far below this.
constexpr int64_t MAX_FRAMES = 10'000'000;
constexpr int64_t MAX_SCORE = 1'000'000'000'000;
constexpr int LAST_STAGE_ENDING = 4;
constexpr size_t PLAYED_LENGTH = 20;  // 2026-12-09T02:42:36Z

bool isIsoTime(const std::string& text) {
  if (text.size() != PLAYED_LENGTH) return false;
  static constexpr char PATTERN[] = "dddd-dd-ddTdd:dd:ddZ";
  for (size_t i = 0; i < PLAYED_LENGTH; ++i) {
    bool digit = text[i] >= '0' && text[i] <= '9';
    if (PATTERN[i] == 'd' ? !digit : text[i] != PATTERN[i]) return false;
  }
  return true;
}

// The integer field key of object, within [low, high].
Outcome integerField(const json& object, const char* key, int64_t low, int64_t high, int64_t& value) {
  auto found = object.find(key);
  if (found == object.end()) return Outcome::failure(std::string("no \"") + key + "\"");
  if (!found->is_number_integer()) return Outcome::failure(std::string("\"") + key + "\" is not a whole number");
  value = found->get<int64_t>();
  if (value < low || value > high) return Outcome::failure(std::string("\"") + key + "\" is out of range");
  return {};
}

}  // namespace

Outcome parseSubmission(std::string_view body, Submission& submission) {
  if (body.size() > REQUEST_MAX_BYTES) return Outcome::failure("the request is larger than 64 KB");
  json request;
  try {
    request = json::parse(body.begin(), body.end());
  } catch (const json::exception&) {
    return Outcome::failure("the request is not JSON");
  }
  if (!request.is_object()) return Outcome::failure("the request is not a JSON object");
  auto name = request.find("name");
  auto replay = request.find("replay");
  if (name == request.end() || !name->is_string()) return Outcome::failure("the request has no \"name\" string");
  if (replay == request.end() || !replay->is_string()) {
    return Outcome::failure("the request has no \"replay\" string");
  }
  submission.name = name->get<std::string>();
  submission.replay = replay->get<std::string>();
  if (std::string why = whyBadName(submission.name); !why.empty()) return Outcome::failure(why);
  if (submission.replay.empty()) return Outcome::failure("the replay is empty");
  return {};
}

Outcome parseVerdict(std::string_view line, Verdict& verdict) {
  json answer;
  try {
    answer = json::parse(line.begin(), line.end());
  } catch (const json::exception&) {
    return Outcome::failure("the verdict is not JSON");
  }
  if (!answer.is_object()) return Outcome::failure("the verdict is not a JSON object");
  int64_t version = 0, stage = 0;
  for (const Outcome& step : {integerField(answer, "version", 1, INT32_MAX, version),
                              integerField(answer, "frames", 0, MAX_FRAMES, verdict.frames),
                              integerField(answer, "score", 0, MAX_SCORE, verdict.score),
                              integerField(answer, "lastStage", 1, LAST_STAGE_ENDING, stage)}) {
    if (!step.ok()) return Outcome::failure("the verdict's " + step.why());
  }
  verdict.version = static_cast<int>(version);
  verdict.lastStage = static_cast<int>(stage);
  auto claims = answer.find("claims");
  if (claims == answer.end() || !claims->is_string()) return Outcome::failure("the verdict has no \"claims\"");
  verdict.claims = claims->get<std::string>();
  if (verdict.claims != "held" && verdict.claims != "broken" && verdict.claims != "none") {
    return Outcome::failure("the verdict's \"claims\" is neither held, broken nor none");
  }
  auto played = answer.find("played");
  verdict.played.reset();
  if (played != answer.end() && !played->is_null()) {
    if (!played->is_string() || !isIsoTime(played->get<std::string>())) {
      return Outcome::failure("the verdict's \"played\" is not a time");
    }
    verdict.played = played->get<std::string>();
  }
  return {};
}

std::string isoTime(int64_t ms) {
  std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

namespace {

// The entries are written by hand: the table page is the server's busiest
// answer, and building it as nlohmann objects (a map per run) took most of
// its time. Every string in a run is ASCII (names are in the game's font,
// times and links are checked), but each is escaped all the same.
void appendString(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

void appendRun(std::string& out, const Run& run, int64_t rank, bool withLink) {
  out += "{\"frames\":" + std::to_string(run.frames) + ",\"id\":" + std::to_string(run.id);
  if (withLink) {
    out += ",\"link\":";
    appendString(out, run.link);
  }
  out += ",\"name\":";
  appendString(out, run.name);
  out += ",\"played\":";
  if (run.played) {
    appendString(out, *run.played);
  } else {
    out += "null";
  }
  out += ",\"rank\":" + std::to_string(rank) + ",\"score\":" + std::to_string(run.score) +
         ",\"stage\":" + std::to_string(run.stage) + ",\"submitted\":";
  appendString(out, isoTime(run.submittedMs));
  out += ",\"version\":" + std::to_string(run.version) + "}";
}

}  // namespace

std::string runJson(const Run& run, int64_t rank, bool withLink) {
  std::string out;
  appendRun(out, run, rank, withLink);
  return out;
}

std::string tableJson(const std::vector<Run>& runs, int64_t offset, int64_t limit, bool more) {
  constexpr size_t BYTES_PER_RUN = 180;
  std::string out;
  out.reserve(64 + runs.size() * BYTES_PER_RUN);
  out += "{\"limit\":" + std::to_string(limit) + ",\"more\":" + (more ? "true" : "false") +
         ",\"offset\":" + std::to_string(offset) + ",\"runs\":[";
  int64_t rank = offset;
  for (const Run& run : runs) {
    if (rank > offset) out += ',';
    appendRun(out, run, ++rank, false);
  }
  out += "]}";
  return out;
}

std::string errorJson(std::string_view why) {
  // Replace, not throw, should a reason ever carry bytes that are not UTF-8.
  return json{{"error", std::string(why)}}.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace scores
