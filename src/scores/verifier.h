// A replay verified by the game itself: `quarvel --verify FILE` in a child
// process under limits, then `quarvel --replay-link FILE` for the link the
// game page plays. The server never reads the replay; it hands the bytes to
// the game and reads the game's verdict.
#pragma once

#include <string>

#include "scores/api_json.h"
#include "scores/child.h"

namespace scores {

struct VerifierConfig {
  std::string program;        // the game, e.g. /usr/games/quarvel
  std::string scratchFolder;  // where replays are put for the game to read
  ChildLimits limits;
};

enum class VerifyResult {
  Accepted,     // verdict and link hold the game's word
  Refused,      // why says why, for the player (a 422)
  Unavailable,  // the game could not be run at all (the server's fault)
};

struct Verification {
  VerifyResult result = VerifyResult::Unavailable;
  std::string why;
  Verdict verdict;
  std::string link;  // "#replay=...", or "" when the game gave none
};

Verification verifyReplay(const VerifierConfig& config, const std::string& replay);

// The game's one line on stderr, made safe to hand on: printable ASCII, at
// most 200 characters, the program's "name: " prefix left off.
std::string firstLine(const std::string& text);

}  // namespace scores
