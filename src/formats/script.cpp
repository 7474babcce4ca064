// Scripted input: one event a line, "MS down KEY", "MS up KEY", "MS type TEXT",
// "MS close", "MS shot NAME"; '#' starts a comment; an optional first line
// "seed N".
#include "formats/script.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "formats/key_names.h"
#include "formats/text.h"

bool parseWholeNumber(const std::string& text, int64_t max, int64_t& value) {
  if (text.empty() || text.size() > 18) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  value = std::strtoll(text.c_str(), nullptr, 10);
  return value <= max;
}

namespace {

bool validShotName(const std::string& name) {
  if (name.empty() || name.size() > 64) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return false;
  return true;
}

}  // namespace

Outcome parseScript(const std::string& text, Script& script) {
  script = Script{};
  std::istringstream in(text);
  std::string raw;
  int lineNumber = 0;
  int64_t lastMs = 0;
  bool sawContent = false;
  auto fail = [&](const std::string& reason) {
    script = Script{};
    return Outcome::failure(std::to_string(lineNumber) + ": " + reason);
  };
  while (std::getline(in, raw)) {
    ++lineNumber;
    size_t hash = raw.find('#');
    std::string line = trimmed(hash == std::string::npos ? raw : raw.substr(0, hash));
    if (line.empty()) continue;
    std::istringstream words(line);
    std::string first, verb;
    words >> first;
    if (first == "seed") {
      if (sawContent) return fail("'seed' must be the first line");
      std::string value, extra;
      words >> value >> extra;
      int64_t number = 0;
      if (!parseWholeNumber(value, 4294967295LL, number) || !extra.empty())
        return fail("seed needs one whole number from 0 to 4294967295");
      script.seed = static_cast<uint32_t>(number);
      sawContent = true;
      continue;
    }
    sawContent = true;
    ScriptEvent event;
    if (!parseWholeNumber(first, 1LL << 50, event.ms))
      return fail("expected a time in milliseconds, got '" + first + "'");
    if (event.ms < lastMs) return fail("times must not decrease");
    lastMs = event.ms;
    words >> verb;
    std::string rest;
    std::getline(words, rest);
    rest = trimmed(rest);
    if (verb == "down" || verb == "up") {
      event.kind = verb == "down" ? ScriptEvent::Down : ScriptEvent::Up;
      event.scanCode = scanCodeForName(rest);
      if (event.scanCode < 0) return fail("unknown key '" + rest + "'");
      event.text = typedValueForScanCode(event.scanCode);
    } else if (verb == "type") {
      event.kind = ScriptEvent::Type;
      if (rest.empty()) return fail("'type' needs text");
      event.text = rest;
    } else if (verb == "close") {
      event.kind = ScriptEvent::Close;
      if (!rest.empty()) return fail("'close' takes nothing more");
    } else if (verb == "shot") {
      event.kind = ScriptEvent::Shot;
      if (!validShotName(rest)) return fail("'shot' needs a name of letters, digits, '-' and '_'");
      event.text = rest;
    } else {
      return fail(verb.empty() ? "missing event after the time" : "unknown event '" + verb + "'");
    }
    script.events.push_back(event);
  }
  return {};
}
