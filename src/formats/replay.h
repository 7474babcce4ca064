// Replays: a recorded game that any build playing by the same rules plays
// again to the same frames. The text form is the input script with a header
// (the game, the rules version, the seed, the high score the game started
// from, when it was played) and, after the events, where the recording ended
// and what it claims (the best score, the high score, the frames, the CRC-32
// of the last frame):
//
//   quarvel replay
//   rules 1
//   seed 2
//   start-high-score 1000
//   played 2026-12-09T08:43:55Z
//   1 down space
//   ...
//   270244 end
//   claim score 4350
//   claim high-score 4350
//   claim frames 8959
//   claim last-frame-crc 0a1b2c3d
//
// A plain input script reads as a replay too: the rules of this build, its
// seed (0 without one), the default high score and no claims. The compact
// form is the same replay packed into bytes (a range coder over the events)
// and written in base64url, for links.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/outcome.h"
#include "formats/script.h"

// Changed only when the game's rules or pictures change: builds that play
// alike accept each other's replays.
constexpr int REPLAY_RULES_VERSION = 1;
constexpr size_t REPLAY_MAX_BYTES = 1u << 20;
constexpr int64_t REPLAY_MAX_MS = 3'600'000;  // one hour of game time
constexpr int32_t REPLAY_DEFAULT_HIGH_SCORE = 1000;

struct ReplayClaims {
  int32_t score = 0;      // the best score reached
  int32_t highScore = 0;  // at the end
  int64_t frames = 0;     // frames presented
  uint32_t lastFrameCrc = 0;
  bool operator==(const ReplayClaims&) const = default;
};

struct Replay {
  bool plainScript = false;  // read from an input script without a header
  int rules = REPLAY_RULES_VERSION;
  uint32_t seed = 0;
  int32_t startHighScore = REPLAY_DEFAULT_HIGH_SCORE;
  std::optional<int64_t> played;  // seconds since 1970, UTC
  std::vector<ScriptEvent> events;
  std::optional<int64_t> endMs;  // the recording stopped here: the game is left
  std::optional<ReplayClaims> claims;
};

// Fails with "LINE: reason" (or a reason for the whole text) on anything
// that is not a replay or script within the limits: larger than 1 MB, an
// event after one hour of game time, a shot (a replay writes no files).
// Another rules version reads; whoever plays it says it cannot.
Outcome parseReplay(const std::string& text, Replay& replay);
// True when the text is a replay's (its first line names the game) or a
// saved link, rather than a plain input script.
bool isReplayText(const std::string& text);
// The text form (a plain script's header is written too).
std::string replayText(const Replay& replay);

// The compact form, and the link's DATA (base64url, no padding).
std::vector<uint8_t> packReplay(const Replay& replay);
Outcome unpackReplay(const std::vector<uint8_t>& bytes, Replay& replay);
std::string base64Url(const std::vector<uint8_t>& bytes);
bool fromBase64Url(const std::string& text, std::vector<uint8_t>& bytes);
std::string replayLinkData(const Replay& replay);
// What stands before DATA in the link. parseReplay reads a text whose first
// line holds it (a saved link) as the link's replay.
constexpr const char* REPLAY_LINK_MARKER = "#replay=";
Outcome replayFromLinkData(const std::string& data, Replay& replay);

// "2026-12-09T08:43:55Z" for seconds since 1970, and back (false when the
// text is not such a time).
std::string isoTimeOfSeconds(int64_t seconds);
bool secondsOfIsoTime(const std::string& text, int64_t& seconds);
