// Scripted input: one event a line, "MS down KEY", "MS up KEY", "MS type
// TEXT", "MS close", "MS shot NAME"; '#' starts a comment; an optional first
// line "seed N". Times are virtual milliseconds and never decrease.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/outcome.h"

struct ScriptEvent {
  int64_t ms = 0;
  enum Kind { Down, Up, Type, Close, Shot } kind = Down;
  int scanCode = 0;
  std::string text;  // Type: the characters; Shot: the name; Down: the queued value
};

struct Script {
  std::optional<uint32_t> seed;
  std::vector<ScriptEvent> events;
};

// On a malformed line fails with "LINE: reason".
Outcome parseScript(const std::string& text, Script& script);

// A number of decimal digits only (no sign, no blanks) that is at most max.
bool parseWholeNumber(const std::string& text, int64_t max, int64_t& value);
