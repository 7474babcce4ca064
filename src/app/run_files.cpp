#include "app/run_files.h"

#include <algorithm>
#include <filesystem>

#include "os/files.h"

namespace {

constexpr size_t SCRIPT_FILE_CAP = 64u << 20;
constexpr unsigned char DELETE_CHARACTER = 0x7F;

Outcome otherRules(const std::string& path, int rules) {
  return Outcome::failure(path + ": made by rules version " + std::to_string(rules) + "; this game plays version " +
                          std::to_string(REPLAY_RULES_VERSION));
}

Outcome readInputScript(RunOptions& options) {
  const std::string& path = options.inputFile;
  std::string text;
  os::FileRead read = os::readRegularFile(path, SCRIPT_FILE_CAP, text);
  if (read != os::FileRead::Ok)
    return Outcome::failure("cannot read the input script " + path + ": " + os::fileReadReason(read, SCRIPT_FILE_CAP));
  if (isReplayText(text)) {
    // A replay (or a saved link) plays as it was recorded: its seed, the
    // high score it started from, its events up to its end.
    Outcome parsed = parseReplay(text, options.replay);
    if (!parsed.ok()) return Outcome::failure(path + ": " + parsed.why());
    if (options.replay.rules != REPLAY_RULES_VERSION) return otherRules(path, options.replay.rules);
    options.inputIsReplay = true;
    options.script = Script{options.replay.seed, options.replay.events};
  } else if (Outcome parsed = parseScript(text, options.script); !parsed.ok()) {
    return Outcome::failure(path + ":" + parsed.why());
  }
  if (options.script.seed && !options.seedGiven) {
    options.seedGiven = true;
    options.seed = *options.script.seed;
  }
  return {};
}

// --verify and --replay: the replay becomes the run's script, its seed the
// run's seed.
Outcome readPlayedReplay(RunOptions& options, const std::string& path) {
  Replay& replay = options.replay;
  Outcome read = readReplayFile(path, replay);
  if (!read.ok()) return read;
  if (replay.rules != REPLAY_RULES_VERSION) return otherRules(path, replay.rules);
  options.script = Script{replay.seed, replay.events};
  options.seedGiven = true;
  options.seed = replay.seed;
  options.maxMs = REPLAY_MAX_MS;
  return {};
}

// Text: no control characters but tab, CR and LF.
bool isText(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < ' ' && c != '\t' && c != '\r' && c != '\n') || byte == DELETE_CHARACTER;
  });
}

// A message quoting a line keeps to plain ASCII: a terminal shows it as it is.
std::string printableOnly(std::string message) {
  for (char& c : message) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < ' ' || byte >= DELETE_CHARACTER) c = '?';
  }
  return message;
}

}  // namespace

Outcome readReplayFile(const std::string& path, Replay& replay) {
  std::string text;
  os::FileRead read = os::readRegularFile(path, REPLAY_MAX_BYTES, text);
  if (read != os::FileRead::Ok)
    return Outcome::failure("cannot read the replay " + path + ": " + os::fileReadReason(read, REPLAY_MAX_BYTES));
  if (!isText(text)) return Outcome::failure(path + ": not a replay (it holds bytes that are not text)");
  Outcome parsed = parseReplay(text, replay);
  if (parsed.ok()) return {};
  const bool numbered = !parsed.why().empty() && parsed.why()[0] >= '0' && parsed.why()[0] <= '9';
  return Outcome::failure(path + (numbered ? ":" : ": ") + printableOnly(parsed.why()));
}

Outcome prepareRunFiles(RunOptions& options) {
  // A file or folder the player names must be there: a typing slip is told,
  // not silently passed over for the defaults.
  std::error_code error;
  if (!options.configFile.empty() && !std::filesystem::exists(os::pathFromUtf8(options.configFile), error))
    return Outcome::failure("--config " + options.configFile + ": no such file");
  if (!options.dataOption.empty() && !std::filesystem::is_directory(os::pathFromUtf8(options.dataOption), error))
    return Outcome::failure("--data " + options.dataOption + ": no such folder");
  if (!options.verifyFile.empty()) {
    Outcome read = readPlayedReplay(options, options.verifyFile);
    if (!read.ok()) return read;
    options.soundWanted = false;
  }
  if (!options.watchFile.empty()) {
    Outcome read = readPlayedReplay(options, options.watchFile);
    if (!read.ok()) return read;
  }
  if (!options.inputFile.empty()) {
    Outcome read = readInputScript(options);
    if (!read.ok()) return read;
  }
  if (!options.shotsDir.empty()) {
    Outcome usable = os::checkWritableFolder(options.shotsDir);
    if (!usable.ok())
      return Outcome::failure("cannot write screenshots into " + options.shotsDir + ": " + usable.why());
  }
  if (!options.soundLog.empty()) {
    Outcome usable = os::checkWritableFile(options.soundLog);
    if (!usable.ok()) return Outcome::failure("cannot write the sound log " + options.soundLog + ": " + usable.why());
  }
  return {};
}
