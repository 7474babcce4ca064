#include "app/replay_run.h"

#include <algorithm>
#include <cstdio>

#include "formats/key_names.h"
#include "game/game_state.h"
#include "harness/harness.h"
#include "machine/control.h"

ReplayClaims ClaimsWatch::reached() const {
  ReplayClaims claims;
  claims.score = std::max(bestScore_, game_.gameState.score);
  claims.highScore = game_.gameState.highScore;
  claims.frames = frames_;
  claims.lastFrameCrc = lastPage_.empty() ? 0 : harness::pageCrc32(lastPage_.data());
  return claims;
}

// The page is kept as it was shown: the game may draw on it afterwards.
void ClaimsWatch::framePresented(int64_t frame, const uint32_t* page) {
  frames_ = frame;
  bestScore_ = std::max(bestScore_, game_.gameState.score);
  lastPage_.assign(page, page + static_cast<ptrdiff_t>(SCREEN_WIDTH) * SCREEN_HEIGHT);
  if (frameLimit_ > 0 && frame >= frameLimit_) machine::requestQuit(game_, machine::QuitReason::ClockLimit);
}

namespace {

ScriptEvent eventAt(int64_t ms, ScriptEvent::Kind kind, int scanCode, const std::string& text) {
  ScriptEvent event;
  event.ms = ms;
  event.kind = kind;
  event.scanCode = scanCode;
  event.text = text;
  return event;
}

}  // namespace

std::optional<ScriptEvent> scriptEventOf(const machine::InputEvent& event, int64_t ms) {
  const bool named = !nameForScanCode(event.scanCode).empty();
  const bool printable = event.value.size() == 1 && event.value[0] > ' ' && event.value[0] != '#';
  switch (event.kind) {
    case machine::InputEvent::Press:
      if (!named) return std::nullopt;
      if (event.value == typedValueForScanCode(event.scanCode))
        return eventAt(ms, ScriptEvent::Down, event.scanCode, event.value);
      if (printable) return eventAt(ms, ScriptEvent::Type, 0, event.value);  // a capital: only the queue matters
      return std::nullopt;
    case machine::InputEvent::Release:
      if (!named) return std::nullopt;
      return eventAt(ms, ScriptEvent::Up, event.scanCode, typedValueForScanCode(event.scanCode));
    case machine::InputEvent::Type:
      if (!printable) return std::nullopt;
      return eventAt(ms, ScriptEvent::Type, 0, event.value);
    case machine::InputEvent::Close: return eventAt(ms, ScriptEvent::Close, 0, "");
  }
  return std::nullopt;
}

void ClaimsWatch::input(const machine::InputEvent& event, machine::InputOrigin) {
  if (std::optional<ScriptEvent> taken = scriptEventOf(event, machine::virtualMs(game_)))
    events_.push_back(std::move(*taken));
}

const char* claimsVerdict(const Replay& replay, const ReplayClaims& reached) {
  if (!replay.claims) return "none";
  return *replay.claims == reached ? "held" : "broken";
}

std::string verdictJson(const Replay& replay, const ReplayClaims& reached, int stage) {
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(reached.lastFrameCrc));
  std::string json =
      "{\"version\": " + std::to_string(replay.rules) + ", \"seed\": " + std::to_string(replay.seed) +
      ", \"frames\": " + std::to_string(reached.frames) + ", \"score\": " + std::to_string(reached.score) +
      ", \"highScore\": " + std::to_string(reached.highScore) + ", \"lastStage\": " + std::to_string(stage) +
      ", \"lastFrameCrc\": \"" + crc + "\", \"claims\": \"" + claimsVerdict(replay, reached) + "\"";
  if (replay.played) json += ", \"played\": \"" + isoTimeOfSeconds(*replay.played) + "\"";
  return json + "}";
}
