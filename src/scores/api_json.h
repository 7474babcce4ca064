// The JSON the server reads and writes: the submission, the verifier's
// one-line verdict, and the entries it hands out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"
#include "scores/run.h"

namespace scores {

constexpr size_t REQUEST_MAX_BYTES = 64 * 1024;

// POST /api/runs: {"name": "...", "replay": "..."}. Fails (why in one line,
// for a 400) on anything else: not JSON, not an object, a field missing or
// of the wrong type, an empty replay, a name the table cannot show.
struct Submission {
  std::string name;
  std::string replay;
};
Outcome parseSubmission(std::string_view body, Submission& submission);

// What `quarvel --verify FILE` prints: one line of JSON.
struct Verdict {
  int version = 0;
  int64_t frames = 0;
  int64_t score = 0;
  int lastStage = 0;
  std::string claims;  // "held", "broken" or "none"
  std::optional<std::string> played;
};
// Fails when the line is not a verdict the table can use: a field missing,
// of the wrong type or out of range.
Outcome parseVerdict(std::string_view line, Verdict& verdict);

// "2026-12-09T02:42:36Z" for milliseconds since 1970 (UTC); whole seconds.
std::string isoTime(int64_t ms);

// {"id", "rank", "name", "score", "stage", "frames", "version", "played",
// "submitted"} and "link" when withLink.
std::string runJson(const Run& run, int64_t rank, bool withLink);
// {"offset", "limit", "more", "runs": [...]}, ranks counted from offset + 1.
std::string tableJson(const std::vector<Run>& runs, int64_t offset, int64_t limit, bool more);
// {"error": why}
std::string errorJson(std::string_view why);

}  // namespace scores
