#include "formats/replay.h"

#include <array>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>

#include "formats/key_names.h"
#include "formats/text.h"

namespace {

constexpr char FIRST_LINE[] = "quarvel replay";
constexpr int64_t INT32_LIMIT = 2147483647;
constexpr int64_t UINT32_LIMIT = 4294967295LL;
constexpr int64_t SECONDS_LIMIT = 253402300799LL;  // 9999-12-31T23:59:59Z
constexpr size_t CRC_DIGITS = 8;
constexpr int MAX_SCAN_CODE = 128;

Outcome lineFailure(int line, const std::string& why) { return Outcome::failure(std::to_string(line) + ": " + why); }

bool parseCrc(const std::string& text, uint32_t& crc) {
  if (text.size() != CRC_DIGITS) return false;
  uint32_t value = 0;
  for (char c : text) {
    int digit = 0;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else
      return false;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  crc = value;
  return true;
}

// The most a replay types in one event (as the compact form holds it).
constexpr size_t MAX_TYPED_IN_EVENT = 255;
constexpr const char* TYPED_TOO_LONG = "typed text longer than 255 characters";

Outcome checkEvents(const std::vector<ScriptEvent>& events) {
  for (const ScriptEvent& event : events) {
    if (event.kind == ScriptEvent::Shot) return Outcome::failure("a replay takes no shots");
    if (event.text.size() > MAX_TYPED_IN_EVENT) return Outcome::failure(TYPED_TOO_LONG);
    if (event.ms > REPLAY_MAX_MS) return Outcome::failure("longer than one hour of game time");
  }
  return {};
}

// One replay line as a script line: the script's own reader says what is
// wrong with it.
Outcome parseEventLine(const std::string& line, int lineNumber, int64_t lastMs, ScriptEvent& event) {
  Script one;
  Outcome read = parseScript(line, one);
  if (!read.ok()) return lineFailure(lineNumber, read.why().substr(read.why().find(": ") + 2));
  if (one.events.size() != 1) return lineFailure(lineNumber, "expected an event");
  event = one.events[0];
  if (event.ms < lastMs) return lineFailure(lineNumber, "times must not decrease");
  if (event.kind == ScriptEvent::Shot) return lineFailure(lineNumber, "a replay takes no shots");
  if (event.text.size() > MAX_TYPED_IN_EVENT) return lineFailure(lineNumber, TYPED_TOO_LONG);
  if (event.ms > REPLAY_MAX_MS) return lineFailure(lineNumber, "longer than one hour of game time");
  return {};
}

struct ClaimsRead {
  std::optional<int64_t> score, highScore, frames;
  std::optional<uint32_t> crc;
  bool any() const { return score || highScore || frames || crc; }
  bool all() const { return score && highScore && frames && crc; }
};

Outcome parseClaim(std::istringstream& words, int lineNumber, ClaimsRead& claims) {
  std::string what, value, extra;
  words >> what >> value >> extra;
  if (!extra.empty()) return lineFailure(lineNumber, "a claim takes one value");
  int64_t number = 0;
  auto whole = [&](std::optional<int64_t>& into, int64_t max) {
    if (into) return lineFailure(lineNumber, "the claim '" + what + "' is made twice");
    if (!parseWholeNumber(value, max, number))
      return lineFailure(lineNumber, "the claim '" + what + "' needs a whole number up to " + std::to_string(max));
    into = number;
    return Outcome{};
  };
  if (what == "score") return whole(claims.score, INT32_LIMIT);
  if (what == "high-score") return whole(claims.highScore, INT32_LIMIT);
  if (what == "frames") return whole(claims.frames, INT32_LIMIT);
  if (what == "last-frame-crc") {
    if (claims.crc) return lineFailure(lineNumber, "the claim 'last-frame-crc' is made twice");
    uint32_t crc = 0;
    if (!parseCrc(value, crc)) return lineFailure(lineNumber, "the last frame's CRC needs 8 hex digits");
    claims.crc = crc;
    return {};
  }
  return lineFailure(lineNumber, "unknown claim '" + what + "'");
}

Outcome parsePlainScript(const std::string& text, Replay& replay) {
  Script script;
  Outcome read = parseScript(text, script);
  if (!read.ok()) return read;
  Outcome checked = checkEvents(script.events);
  if (!checked.ok()) return checked;
  replay.plainScript = true;
  replay.seed = script.seed.value_or(0);
  replay.events = std::move(script.events);
  return {};
}

enum class Part { Header, Events, Claims };

Outcome parseReplayLines(const std::string& text, Replay& replay) {
  std::istringstream in(text);
  std::string raw;
  int lineNumber = 0;
  bool named = false, hasRules = false, hasSeed = false, hasHighScore = false;
  Part part = Part::Header;
  ClaimsRead claims;
  int64_t lastMs = 0;
  while (std::getline(in, raw)) {
    ++lineNumber;
    const size_t hash = raw.find('#');
    const std::string line = trimmed(hash == std::string::npos ? raw : raw.substr(0, hash));
    if (line.empty()) continue;
    if (!named) {
      named = true;  // the caller has seen that it is the game's name
      continue;
    }
    std::istringstream words(line);
    std::string first, value, extra;
    words >> first;
    int64_t number = 0;
    const bool timed = std::isdigit(static_cast<unsigned char>(first[0])) != 0;
    if (timed) {
      if (part == Part::Claims) return lineFailure(lineNumber, "events must come before the claims");
      if (!hasRules || !hasSeed || !hasHighScore)
        return lineFailure(lineNumber, "the header needs 'rules', 'seed' and 'start-high-score' before the events");
      part = Part::Events;
      std::string verb;
      words >> verb >> extra;
      if (replay.endMs) return lineFailure(lineNumber, "nothing may follow the end but claims");
      if (verb == "end") {
        if (!extra.empty()) return lineFailure(lineNumber, "'end' takes nothing more");
        if (!parseWholeNumber(first, REPLAY_MAX_MS, number))
          return lineFailure(lineNumber, "the end needs a time within one hour of game time");
        if (number < lastMs) return lineFailure(lineNumber, "times must not decrease");
        replay.endMs = number;
        continue;
      }
      ScriptEvent event;
      Outcome read = parseEventLine(line, lineNumber, lastMs, event);
      if (!read.ok()) return read;
      lastMs = event.ms;
      replay.events.push_back(std::move(event));
      continue;
    }
    if (first == "claim") {
      if (!hasRules || !hasSeed || !hasHighScore)
        return lineFailure(lineNumber, "the header needs 'rules', 'seed' and 'start-high-score' before the claims");
      part = Part::Claims;
      Outcome read = parseClaim(words, lineNumber, claims);
      if (!read.ok()) return read;
      continue;
    }
    if (part != Part::Header) return lineFailure(lineNumber, "'" + first + "' belongs in the header");
    words >> value >> extra;
    if (!extra.empty()) return lineFailure(lineNumber, "'" + first + "' takes one value");
    bool twice = false;
    if (first == "rules") {
      twice = hasRules;
      if (!parseWholeNumber(value, INT32_LIMIT, number) || number < 1)
        return lineFailure(lineNumber, "rules needs a whole number from 1");
      replay.rules = static_cast<int>(number);
      hasRules = true;
    } else if (first == "seed") {
      twice = hasSeed;
      if (!parseWholeNumber(value, UINT32_LIMIT, number))
        return lineFailure(lineNumber, "seed needs one whole number from 0 to 4294967295");
      replay.seed = static_cast<uint32_t>(number);
      hasSeed = true;
    } else if (first == "start-high-score") {
      twice = hasHighScore;
      if (!parseWholeNumber(value, INT32_LIMIT, number))
        return lineFailure(lineNumber, "start-high-score needs a whole number from 0 to 2147483647");
      replay.startHighScore = static_cast<int32_t>(number);
      hasHighScore = true;
    } else if (first == "played") {
      twice = replay.played.has_value();
      int64_t seconds = 0;
      if (!secondsOfIsoTime(value, seconds))
        return lineFailure(lineNumber, "played needs a time such as 2026-12-09T08:43:55Z");
      replay.played = seconds;
    } else {
      return lineFailure(lineNumber, "unknown header line '" + first + "'");
    }
    if (twice) return lineFailure(lineNumber, "'" + first + "' is given twice");
  }
  if (!hasRules || !hasSeed || !hasHighScore)
    return Outcome::failure("the header needs 'rules', 'seed' and 'start-high-score'");
  if (claims.any() && !claims.all())
    return Outcome::failure("the claims need all of score, high-score, frames and last-frame-crc");
  if (claims.all()) {
    replay.claims = ReplayClaims{static_cast<int32_t>(*claims.score), static_cast<int32_t>(*claims.highScore),
                                 *claims.frames, *claims.crc};
  }
  return {};
}

// The first line that is not blank or a comment.
std::string firstContentLine(const std::string& text) {
  std::istringstream in(text);
  std::string raw;
  while (std::getline(in, raw)) {
    const size_t hash = raw.find('#');
    std::string line = trimmed(hash == std::string::npos ? raw : raw.substr(0, hash));
    if (!line.empty()) return line;
  }
  return "";
}

// A shared link saved as a file (the whole address, or its #replay=DATA):
// the data after the marker, up to the end of its line.
std::optional<std::string> linkData(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return std::nullopt;
  const size_t lineEnd = text.find_first_of("\r\n", start);
  const std::string line = text.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
  const size_t marker = line.find(REPLAY_LINK_MARKER);
  if (marker == std::string::npos) return std::nullopt;
  const std::string data = line.substr(marker + std::strlen(REPLAY_LINK_MARKER));
  return trimmed(data.substr(0, data.find_first_of(" \t&")));
}

}  // namespace

bool isReplayText(const std::string& text) {
  return linkData(text).has_value() || firstContentLine(text) == FIRST_LINE;
}

Outcome parseReplay(const std::string& text, Replay& replay) {
  replay = Replay{};
  if (text.size() > REPLAY_MAX_BYTES) return Outcome::failure("larger than 1 MB");
  if (std::optional<std::string> data = linkData(text)) return replayFromLinkData(*data, replay);
  Outcome read = firstContentLine(text) == FIRST_LINE ? parseReplayLines(text, replay) : parsePlainScript(text, replay);
  if (!read.ok()) replay = Replay{};
  return read;
}

std::string replayText(const Replay& replay) {
  std::string text = std::string(FIRST_LINE) + "\n";
  text += "rules " + std::to_string(replay.rules) + "\n";
  text += "seed " + std::to_string(replay.seed) + "\n";
  text += "start-high-score " + std::to_string(replay.startHighScore) + "\n";
  if (replay.played) text += "played " + isoTimeOfSeconds(*replay.played) + "\n";
  for (const ScriptEvent& event : replay.events) {
    const std::string time = std::to_string(event.ms) + " ";
    switch (event.kind) {
      case ScriptEvent::Down: text += time + "down " + nameForScanCode(event.scanCode) + "\n"; break;
      case ScriptEvent::Up: text += time + "up " + nameForScanCode(event.scanCode) + "\n"; break;
      case ScriptEvent::Type: {
        // '#' would start a comment and blanks at the ends would be trimmed:
        // the text holds what the script's reader gives back.
        std::string typed;
        for (char c : event.text)
          if (c != '#') typed += c;
        typed = trimmed(typed);
        if (!typed.empty()) text += time + "type " + typed + "\n";
        break;
      }
      case ScriptEvent::Close: text += time + "close\n"; break;
      case ScriptEvent::Shot: break;  // never in a replay
    }
  }
  if (replay.endMs) text += std::to_string(*replay.endMs) + " end\n";
  if (replay.claims) {
    const ReplayClaims& c = *replay.claims;
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(c.lastFrameCrc));
    text += "claim score " + std::to_string(c.score) + "\n";
    text += "claim high-score " + std::to_string(c.highScore) + "\n";
    text += "claim frames " + std::to_string(c.frames) + "\n";
    text += "claim last-frame-crc " + std::string(crc) + "\n";
  }
  return text;
}

// ---- The compact form ----
//
// A version byte; the header as variable-length numbers (7 bits a byte,
// lowest first): rules, seed, start high score, played + 1 (0: unknown), a
// flags byte (1: an end, 2: claims), the end as a distance from the last
// event, the claims (score, high score, frames, CRC as four bytes lowest
// first), the number of events; then the events through a binary range
// coder with adaptive bit models. Each event is its code (a key going down
// or up, typed text, the close button) in the context of the code before
// it, and its distance in milliseconds from the event before as a bit
// length (in the context of the code) and the bits below the top one.

namespace {

constexpr uint8_t PACK_VERSION = 1;
constexpr uint8_t HAS_END = 1;
constexpr uint8_t HAS_CLAIMS = 2;
constexpr size_t MAX_PACKED_EVENTS = REPLAY_MAX_BYTES / 8;  // no replay within 1 MB has more
constexpr int MAX_TYPED = static_cast<int>(MAX_TYPED_IN_EVENT);

// Key codes as their place among the named keys, in scan-code order.
struct KeyIndex {
  std::array<int, MAX_SCAN_CODE> indexOf{};
  std::vector<int> scanCodes;
  KeyIndex() {
    indexOf.fill(-1);
    for (int code = 0; code < MAX_SCAN_CODE; ++code) {
      if (nameForScanCode(code).empty()) continue;
      indexOf[static_cast<size_t>(code)] = static_cast<int>(scanCodes.size());
      scanCodes.push_back(code);
    }
  }
};

const KeyIndex& keyIndex() {
  static const KeyIndex index;
  return index;
}

int keyCount() { return static_cast<int>(keyIndex().scanCodes.size()); }
int typeCode() { return 2 * keyCount(); }
int closeCode() { return 2 * keyCount() + 1; }
constexpr int CODE_BITS = 7;  // room for 2 x the named keys + 2
constexpr int CODES = 1 << CODE_BITS;
constexpr int LENGTH_BITS = 6;  // a distance's bit length, 0 to 63
constexpr int MAX_DISTANCE_BITS = 23;
constexpr int MODELLED_LOW_BITS = 3;  // below the top bit, modelled; the rest even odds

// Probabilities of a 0 in 1/2048ths, adapting by 1/32 of the gap.
constexpr uint32_t PROB_BITS = 11;
constexpr uint16_t PROB_HALF = 1 << (PROB_BITS - 1);
constexpr uint32_t MOVE_BITS = 5;
constexpr uint32_t TOP = 1u << 24;

struct Models {
  std::vector<uint16_t> code = std::vector<uint16_t>(static_cast<size_t>(CODES) * CODES, PROB_HALF);
  std::vector<uint16_t> length = std::vector<uint16_t>(static_cast<size_t>(CODES) << LENGTH_BITS, PROB_HALF);
  std::vector<uint16_t> low =
      std::vector<uint16_t>(static_cast<size_t>(MAX_DISTANCE_BITS + 1) << MODELLED_LOW_BITS, PROB_HALF);
  std::vector<uint16_t> typedLength = std::vector<uint16_t>(256, PROB_HALF);
  std::vector<uint16_t> typed = std::vector<uint16_t>(256, PROB_HALF);
};

class RangeEncoder {
 public:
  void bit(uint16_t& prob, int value) {
    const uint32_t bound = (range_ >> PROB_BITS) * prob;
    if (value == 0) {
      range_ = bound;
      prob = static_cast<uint16_t>(prob + (((1u << PROB_BITS) - prob) >> MOVE_BITS));
    } else {
      low_ += bound;
      range_ -= bound;
      prob = static_cast<uint16_t>(prob - (prob >> MOVE_BITS));
    }
    normalize();
  }
  void evenBit(int value) {
    range_ >>= 1;
    if (value != 0) low_ += range_;
    normalize();
  }
  void tree(uint16_t* probs, int bits, uint32_t value) {
    uint32_t node = 1;
    for (int i = bits - 1; i >= 0; --i) {
      const int b = static_cast<int>((value >> i) & 1);
      bit(probs[node], b);
      node = node << 1 | static_cast<uint32_t>(b);
    }
  }
  std::vector<uint8_t> finish(std::vector<uint8_t> out) {
    for (int i = 0; i < 5; ++i) shiftLow();
    out.insert(out.end(), bytes_.begin(), bytes_.end());
    return out;
  }

 private:
  void normalize() {
    while (range_ < TOP) {
      range_ <<= 8;
      shiftLow();
    }
  }
  void shiftLow() {
    if (static_cast<uint32_t>(low_) < 0xFF000000u || (low_ >> 32) != 0) {
      const auto carry = static_cast<uint8_t>(low_ >> 32);
      uint8_t pending = cache_;
      do {
        bytes_.push_back(static_cast<uint8_t>(pending + carry));
        pending = 0xFF;
      } while (--cacheSize_ != 0);
      cache_ = static_cast<uint8_t>(low_ >> 24);
    }
    ++cacheSize_;
    low_ = (low_ & 0x00FFFFFFu) << 8;
  }
  uint64_t low_ = 0;
  uint32_t range_ = 0xFFFFFFFFu;
  uint8_t cache_ = 0;
  uint64_t cacheSize_ = 1;
  std::vector<uint8_t> bytes_;
};

// Reads past the end as zero bytes: damaged data decodes to something, and
// what it decodes to is checked like any replay.
class RangeDecoder {
 public:
  RangeDecoder(const std::vector<uint8_t>& bytes, size_t at) : bytes_(bytes), at_(at) {
    for (int i = 0; i < 5; ++i) code_ = code_ << 8 | next();
  }
  int bit(uint16_t& prob) {
    const uint32_t bound = (range_ >> PROB_BITS) * prob;
    int value = 0;
    if (code_ < bound) {
      range_ = bound;
      prob = static_cast<uint16_t>(prob + (((1u << PROB_BITS) - prob) >> MOVE_BITS));
    } else {
      code_ -= bound;
      range_ -= bound;
      prob = static_cast<uint16_t>(prob - (prob >> MOVE_BITS));
      value = 1;
    }
    normalize();
    return value;
  }
  int evenBit() {
    range_ >>= 1;
    int value = 0;
    if (code_ >= range_) {
      code_ -= range_;
      value = 1;
    }
    normalize();
    return value;
  }
  uint32_t tree(uint16_t* probs, int bits) {
    uint32_t node = 1;
    for (int i = 0; i < bits; ++i) node = node << 1 | static_cast<uint32_t>(bit(probs[node]));
    return node - (1u << bits);
  }
  // Bytes wanted beyond the end: far past it, the data was not ours.
  bool overrun() const { return at_ > bytes_.size() + 5; }

 private:
  uint32_t next() { return at_ < bytes_.size() ? bytes_[at_++] : (++at_, 0u); }
  void normalize() {
    while (range_ < TOP) {
      range_ <<= 8;
      code_ = code_ << 8 | next();
    }
  }
  const std::vector<uint8_t>& bytes_;
  size_t at_;
  uint32_t code_ = 0;
  uint32_t range_ = 0xFFFFFFFFu;
};

void putNumber(std::vector<uint8_t>& out, uint64_t value) {
  constexpr uint64_t LOW_SEVEN = 0x7F;
  constexpr uint8_t MORE = 0x80;
  while (value > LOW_SEVEN) {
    out.push_back(static_cast<uint8_t>((value & LOW_SEVEN) | MORE));
    value >>= 7;
  }
  out.push_back(static_cast<uint8_t>(value));
}

bool getNumber(const std::vector<uint8_t>& in, size_t& at, uint64_t max, uint64_t& value) {
  constexpr int MAX_SHIFT = 63;
  value = 0;
  for (int shift = 0; shift <= MAX_SHIFT; shift += 7) {
    if (at >= in.size()) return false;
    const uint8_t byte = in[at++];
    value |= static_cast<uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return value <= max;
  }
  return false;
}

int eventCode(const ScriptEvent& event) {
  if (event.kind == ScriptEvent::Type) return typeCode();
  if (event.kind == ScriptEvent::Close) return closeCode();
  const int index = event.scanCode >= 0 && event.scanCode < MAX_SCAN_CODE
                        ? keyIndex().indexOf[static_cast<size_t>(event.scanCode)]
                        : -1;
  if (index < 0) return -1;
  return event.kind == ScriptEvent::Down ? index : keyCount() + index;
}

int bitLength(uint64_t value) {
  int bits = 0;
  while (value != 0) {
    ++bits;
    value >>= 1;
  }
  return bits;
}

void encodeDistance(RangeEncoder& coder, Models& models, int code, uint64_t distance) {
  const int bits = bitLength(distance);
  coder.tree(&models.length[static_cast<size_t>(code) << LENGTH_BITS], LENGTH_BITS, static_cast<uint32_t>(bits));
  uint32_t node = 1;
  for (int i = bits - 2; i >= 0; --i) {
    const int b = static_cast<int>((distance >> i) & 1);
    if (bits - 2 - i < MODELLED_LOW_BITS) {
      coder.bit(models.low[(static_cast<size_t>(bits) << MODELLED_LOW_BITS) + node], b);
      node = node << 1 | static_cast<uint32_t>(b);
    } else {
      coder.evenBit(b);
    }
  }
}

bool decodeDistance(RangeDecoder& coder, Models& models, int code, uint64_t& distance) {
  const auto bits = static_cast<int>(coder.tree(&models.length[static_cast<size_t>(code) << LENGTH_BITS], LENGTH_BITS));
  if (bits > MAX_DISTANCE_BITS) return false;
  distance = bits == 0 ? 0 : 1;
  uint32_t node = 1;
  for (int i = bits - 2; i >= 0; --i) {
    int b = 0;
    if (bits - 2 - i < MODELLED_LOW_BITS) {
      b = coder.bit(models.low[(static_cast<size_t>(bits) << MODELLED_LOW_BITS) + node]);
      node = node << 1 | static_cast<uint32_t>(b);
    } else {
      b = coder.evenBit();
    }
    distance = distance << 1 | static_cast<uint64_t>(b);
  }
  return true;
}

void putCrc(std::vector<uint8_t>& out, uint32_t crc) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(crc >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> packReplay(const Replay& replay) {
  std::vector<ScriptEvent> events;
  for (const ScriptEvent& event : replay.events)
    if (eventCode(event) >= 0) events.push_back(event);
  std::vector<uint8_t> out{PACK_VERSION};
  putNumber(out, static_cast<uint64_t>(replay.rules));
  putNumber(out, replay.seed);
  putNumber(out, static_cast<uint64_t>(replay.startHighScore));
  putNumber(out, replay.played ? static_cast<uint64_t>(*replay.played) + 1 : 0);
  out.push_back(static_cast<uint8_t>((replay.endMs ? HAS_END : 0) | (replay.claims ? HAS_CLAIMS : 0)));
  const int64_t lastMs = events.empty() ? 0 : events.back().ms;
  if (replay.endMs) putNumber(out, static_cast<uint64_t>(*replay.endMs - lastMs));
  if (replay.claims) {
    putNumber(out, static_cast<uint64_t>(replay.claims->score));
    putNumber(out, static_cast<uint64_t>(replay.claims->highScore));
    putNumber(out, static_cast<uint64_t>(replay.claims->frames));
    putCrc(out, replay.claims->lastFrameCrc);
  }
  putNumber(out, events.size());
  auto models = std::make_unique<Models>();
  RangeEncoder coder;
  int previous = closeCode();
  int64_t previousMs = 0;
  for (const ScriptEvent& event : events) {
    const int code = eventCode(event);
    coder.tree(&models->code[static_cast<size_t>(previous) * CODES], CODE_BITS, static_cast<uint32_t>(code));
    encodeDistance(coder, *models, code, static_cast<uint64_t>(event.ms - previousMs));
    if (code == typeCode()) {
      const std::string text = event.text.substr(0, MAX_TYPED);
      coder.tree(models->typedLength.data(), 8, static_cast<uint32_t>(text.size()));
      for (char c : text) coder.tree(models->typed.data(), 8, static_cast<uint8_t>(c));
    }
    previous = code;
    previousMs = event.ms;
  }
  return coder.finish(std::move(out));
}

Outcome unpackReplay(const std::vector<uint8_t>& bytes, Replay& replay) {
  replay = Replay{};
  auto fail = [&replay](const std::string& why) {
    replay = Replay{};
    return Outcome::failure("the replay's data " + why);
  };
  if (bytes.empty() || bytes[0] != PACK_VERSION) return fail("is not of this game");
  size_t at = 1;
  uint64_t rules = 0, seed = 0, highScore = 0, played = 0, endDistance = 0, count = 0;
  if (!getNumber(bytes, at, INT32_LIMIT, rules) || rules < 1 || !getNumber(bytes, at, UINT32_LIMIT, seed) ||
      !getNumber(bytes, at, INT32_LIMIT, highScore) || !getNumber(bytes, at, SECONDS_LIMIT + 1, played) ||
      at >= bytes.size())
    return fail("has a damaged header");
  replay.rules = static_cast<int>(rules);
  replay.seed = static_cast<uint32_t>(seed);
  replay.startHighScore = static_cast<int32_t>(highScore);
  if (played != 0) replay.played = static_cast<int64_t>(played - 1);
  const uint8_t flags = bytes[at++];
  if ((flags & ~(HAS_END | HAS_CLAIMS)) != 0) return fail("has a damaged header");
  if ((flags & HAS_END) != 0 && !getNumber(bytes, at, REPLAY_MAX_MS, endDistance)) return fail("has a damaged end");
  if ((flags & HAS_CLAIMS) != 0) {
    uint64_t score = 0, high = 0, frames = 0;
    if (!getNumber(bytes, at, INT32_LIMIT, score) || !getNumber(bytes, at, INT32_LIMIT, high) ||
        !getNumber(bytes, at, INT32_LIMIT, frames) || at + 4 > bytes.size())
      return fail("has damaged claims");
    uint32_t crc = 0;
    for (int i = 0; i < 4; ++i) crc |= static_cast<uint32_t>(bytes[at++]) << (8 * i);
    replay.claims =
        ReplayClaims{static_cast<int32_t>(score), static_cast<int32_t>(high), static_cast<int64_t>(frames), crc};
  }
  if (!getNumber(bytes, at, MAX_PACKED_EVENTS, count)) return fail("has too many events");
  auto models = std::make_unique<Models>();
  RangeDecoder coder(bytes, at);
  int previous = closeCode();
  int64_t ms = 0;
  replay.events.reserve(static_cast<size_t>(count));
  for (uint64_t i = 0; i < count; ++i) {
    const auto code = static_cast<int>(coder.tree(&models->code[static_cast<size_t>(previous) * CODES], CODE_BITS));
    if (code > closeCode()) return fail("holds an unknown event");
    uint64_t distance = 0;
    if (!decodeDistance(coder, *models, code, distance)) return fail("holds an event too far from the one before");
    ms += static_cast<int64_t>(distance);
    if (ms > REPLAY_MAX_MS) return fail("is longer than one hour of game time");
    ScriptEvent event;
    event.ms = ms;
    if (code == typeCode()) {
      event.kind = ScriptEvent::Type;
      const uint32_t length = coder.tree(models->typedLength.data(), 8);
      for (uint32_t c = 0; c < length; ++c) event.text += static_cast<char>(coder.tree(models->typed.data(), 8));
      if (length == 0) return fail("holds empty typed text");
    } else if (code == closeCode()) {
      event.kind = ScriptEvent::Close;
    } else {
      const bool down = code < keyCount();
      event.kind = down ? ScriptEvent::Down : ScriptEvent::Up;
      event.scanCode = keyIndex().scanCodes[static_cast<size_t>(down ? code : code - keyCount())];
      event.text = typedValueForScanCode(event.scanCode);
    }
    if (coder.overrun()) return fail("ends too soon");
    replay.events.push_back(std::move(event));
    previous = code;
  }
  if ((flags & HAS_END) != 0) {
    replay.endMs = ms + static_cast<int64_t>(endDistance);
    if (*replay.endMs > REPLAY_MAX_MS) return fail("is longer than one hour of game time");
  }
  return {};
}

namespace {

constexpr char BASE64_URL[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '-') return 62;
  if (c == '_') return 63;
  return -1;
}

}  // namespace

std::string base64Url(const std::vector<uint8_t>& bytes) {
  std::string text;
  uint32_t bits = 0;
  int held = 0;
  for (uint8_t byte : bytes) {
    bits = bits << 8 | byte;
    held += 8;
    while (held >= 6) {
      held -= 6;
      text += BASE64_URL[(bits >> held) & 0x3F];
    }
  }
  if (held > 0) text += BASE64_URL[(bits << (6 - held)) & 0x3F];
  return text;
}

bool fromBase64Url(const std::string& text, std::vector<uint8_t>& bytes) {
  bytes.clear();
  size_t length = text.size();
  while (length > 0 && text[length - 1] == '=') --length;  // padding, when a tool added it
  if (length % 4 == 1) return false;
  uint32_t bits = 0;
  int held = 0;
  for (size_t i = 0; i < length; ++i) {
    const int value = base64Value(text[i]);
    if (value < 0) return false;
    bits = bits << 6 | static_cast<uint32_t>(value);
    held += 6;
    if (held >= 8) {
      held -= 8;
      bytes.push_back(static_cast<uint8_t>(bits >> held));
    }
  }
  return true;
}

std::string replayLinkData(const Replay& replay) { return base64Url(packReplay(replay)); }

Outcome replayFromLinkData(const std::string& data, Replay& replay) {
  replay = Replay{};
  if (data.size() > REPLAY_MAX_BYTES) return Outcome::failure("the replay's data is larger than 1 MB");
  std::vector<uint8_t> bytes;
  if (!fromBase64Url(data, bytes)) return Outcome::failure("the replay's data is not base64url");
  return unpackReplay(bytes, replay);
}

// Days since 1970-01-01 of a date in the Gregorian calendar, and back
// (eras of 400 years, March first, so the leap day ends a year).
namespace {

constexpr int64_t DAYS_PER_ERA = 146097;
constexpr int64_t SECONDS_PER_DAY = 86400;
constexpr int64_t EPOCH_SHIFT = 719468;  // days from 0000-03-01 to 1970-01-01

int64_t daysOfDate(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = year / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * DAYS_PER_ERA + dayOfEra - EPOCH_SHIFT;
}

void dateOfDays(int64_t days, int64_t& year, int64_t& month, int64_t& day) {
  days += EPOCH_SHIFT;
  const int64_t era = days / DAYS_PER_ERA;
  const int64_t dayOfEra = days - era * DAYS_PER_ERA;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shifted = (5 * dayOfYear + 2) / 153;
  day = dayOfYear - (153 * shifted + 2) / 5 + 1;
  month = shifted < 10 ? shifted + 3 : shifted - 9;
  year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

bool digitsAt(const std::string& text, size_t at, size_t count, int64_t& value) {
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

std::string isoTimeOfSeconds(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  if (seconds > SECONDS_LIMIT) seconds = SECONDS_LIMIT;
  int64_t year = 0, month = 0, day = 0;
  dateOfDays(seconds / SECONDS_PER_DAY, year, month, day);
  const int64_t inDay = seconds % SECONDS_PER_DAY;
  // Room for any int64_t in every field, so that the compiler can see no
  // truncation; the limit above keeps the year to four digits.
  char text[128];
  std::snprintf(text, sizeof text,
                "%04" PRId64 "-%02" PRId64 "-%02" PRId64 "T%02" PRId64 ":%02" PRId64 ":%02" PRId64 "Z", year, month,
                day, inDay / 3600, inDay / 60 % 60, inDay % 60);
  return text;
}

bool secondsOfIsoTime(const std::string& text, int64_t& seconds) {
  static constexpr char PATTERN[] = "dddd-dd-ddTdd:dd:ddZ";
  if (text.size() != sizeof PATTERN - 1) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (PATTERN[i] != 'd' && text[i] != PATTERN[i]) return false;
  int64_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!digitsAt(text, 0, 4, year) || !digitsAt(text, 5, 2, month) || !digitsAt(text, 8, 2, day) ||
      !digitsAt(text, 11, 2, hour) || !digitsAt(text, 14, 2, minute) || !digitsAt(text, 17, 2, second))
    return false;
  if (year < 1970 || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return false;
  const int64_t days = daysOfDate(year, month, day);
  int64_t checkYear = 0, checkMonth = 0, checkDay = 0;
  dateOfDays(days, checkYear, checkMonth, checkDay);
  if (checkMonth != month || checkDay != day) return false;  // 31 April, 29 February of a common year
  seconds = days * SECONDS_PER_DAY + hour * 3600 + minute * 60 + second;
  return true;
}
