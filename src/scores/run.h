// One entry of the table as the store keeps it. Its score, stage, frames and
// time of play are the verifier's word, never read from the replay itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace scores {

struct Run {
  int64_t id = 0;
  std::string name;
  int64_t score = 0;
  int stage = 0;                      // the last stage reached, 1 to 3; 4 for the ending
  int64_t frames = 0;                 // frames the game played
  int version = 0;                    // the rules version the replay was played by
  std::optional<std::string> played;  // when it was played (ISO 8601, UTC), if the replay says
  int64_t submittedMs = 0;            // when the table took it, milliseconds since 1970 (UTC)
  std::string link;                   // "#replay=..." for the game page, "" when the game gave none
};

// What a new entry brings beside the Run's fields.
struct NewRun {
  Run run;             // id ignored
  std::string hash;    // SHA-256 of the replay, hex: the same replay is one entry
  std::string replay;  // the bytes as submitted
};

}  // namespace scores
