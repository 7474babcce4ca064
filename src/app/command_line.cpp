// The command line: the player's options and the harness's, from one table
// that --help is made of. Any argument containing NOSOUND (any case)
// switches sound off, as the game always had it.
#include "app/command_line.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "base/messages.h"
#include "formats/script.h"
#include "formats/text.h"

namespace {

const char* const SCENES[] = {"title", "stage1", "stage2", "stage3", "story0", "story1", "story2", "story3"};

struct OptionHelp {
  const char* name;
  const char* value;  // nullptr: takes none
  const char* meaning;
};

constexpr OptionHelp OPTIONS[] = {
    {"--fullscreen", nullptr, "start full screen"},
    {"--window", nullptr, "start in a window"},
    {"--scale", "N", "window size: N times 320x240 (1..8), fitted to the screen"},
    {"--volume", "N", "master volume 0..100"},
    {"--no-sound", nullptr, "no sound (the same as NOSOUND)"},
    {"--config", "FILE", "settings file instead of the per-user quarvel.ini (must exist)"},
    {"--data", "DIR", "look for graphics/ and WAV/ in DIR first (must exist)"},
    {"--hiscore", "FILE", "keep the high score in FILE"},
    {"--headless", nullptr, "no window, no audio device; virtual time"},
    {"--seed", "N", "seed the random numbers with N (0..4294967295)"},
    {"--input", "FILE", "scripted input: 'MS down|up KEY', 'MS type TEXT', 'MS close', 'MS shot NAME'"},
    {"--record", "FILE", "write this session as a replay (window, or headless with --input)"},
    {"--verify", "FILE", "play a replay or script headless; print its verdict as one JSON line"},
    {"--replay-link", "FILE", "print the #replay=DATA link of a replay or script"},
    {"--replay", "FILE", "watch a replay in the window: Right/Left speed and seek, P pause, . one frame, Esc leaves"},
    {"--scene", "NAME", "run one scene: title stage1 stage2 stage3 story0 story1 story2 story3"},
    {"--shots", "DIR", "write screenshots (BMP) into DIR"},
    {"--shot-frames", "LIST", "frames to shoot: 1,5,10-20 or all (default none; final.bmp always)"},
    {"--frame-hashes", "FILE", "write 'FRAME CRC32' of the shown page for each --shot-frames frame (or all)"},
    {"--sound-log", "FILE", "log every sound played: FRAME MS SAMPLE CHANNEL VOLUME"},
    {"--max-ms", "N", "stop with exit code 3 when the virtual clock passes N (headless default 3600000)"},
    {"--timedemo", nullptr, "with --headless --input: report frames, seconds, fps, slowest and mean frame"},
    {"--frame-stats", nullptr, "at the end, print the mean and worst real frame period"},
    {"--version", nullptr, "the game's version"},
    {"--help", nullptr, "this text"},
};

bool containsNoSound(const std::string& text) { return lowerCase(text).find("nosound") != std::string::npos; }

bool parseFrameList(const std::string& text, std::vector<std::pair<int64_t, int64_t>>& ranges) {
  if (text == "all") {
    ranges.push_back({1, INT64_MAX});
    return true;
  }
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    size_t dash = item.find('-');
    int64_t first = 0, last = 0;
    if (dash == std::string::npos) {
      if (!parseWholeNumber(item, 1LL << 50, first)) return false;
      last = first;
    } else if (!parseWholeNumber(item.substr(0, dash), 1LL << 50, first) ||
               !parseWholeNumber(item.substr(dash + 1), 1LL << 50, last) || last < first) {
      return false;
    }
    if (first < 1) return false;  // frames count from 1
    ranges.push_back({first, last});
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return !ranges.empty();
}

const OptionHelp* findOption(const std::string& name) {
  for (const OptionHelp& option : OPTIONS)
    if (name == option.name) return &option;
  return nullptr;
}

}  // namespace

std::vector<std::string> optionNames() {
  std::vector<std::string> names;
  for (const OptionHelp& option : OPTIONS) names.push_back(option.name);
  return names;
}

std::string commandLineHelp(bool fullScreenBuild) {
  const std::string& name = programName();
  std::string text = "usage: " + name + " [options]   (" +
                     (fullScreenBuild ? "starts full screen; quarvel-win starts in a window"
                                      : "starts in a window; quarvel starts full screen") +
                     ")\n  NOSOUND               any argument containing it (any case) switches sound off\n";
  char line[200];
  for (const OptionHelp& option : OPTIONS) {
    std::string left = std::string(option.name) + (option.value ? std::string(" ") + option.value : "");
    std::snprintf(line, sizeof line, "  %-21s %s\n", left.c_str(), option.meaning);
    text += line;
  }
  text += "  Options take their value as the next argument or after '=' (--scale=3).\n";
  text +=
      "\n"
      "Controls (keyboard / game controller):\n"
      "  Left, Right           move                      d-pad, left stick\n"
      "  Space                 start, fire, stomp        A (south)\n"
      "  z                     stage two: drop           B (east)\n"
      "  Esc                   back, leave               Back/Select\n"
      "  Y / N                 answer a question         A / B\n"
      "  Ctrl, left Shift      stage three: fast, slow   right, left shoulder\n"
      "  P or Pause            the menu (window)         Start\n"
      "    the game waits while it is open: RESUME, SOUND, DISPLAY, CONTROLS,\n"
      "    ACCESSIBILITY, REPLAYS, QUIT; Up/Down (d-pad, stick) move, Left/Right\n"
      "    change, Space/Enter/A choose, Esc/B go back, P/Start close, a click\n"
      "    chooses; a control waits 5 s for its new key or button (Esc keeps it)\n"
      "  M, -, =               mute, volume down, volume up (window)\n"
      "  F12                   screenshot as PNG (window)\n"
      "  Alt+Enter             full screen on/off (window)\n"
      "  close button, Alt+F4  nothing, or quit with close_button = quit\n"
      "\n"
      "Files:\n"
      "  data          graphics/graphics.bmp and WAV/ from --data, the working directory,\n"
      "                the program's folder or ../share/quarvel beside it\n"
      "  high score    hiscore.txt beside data found in the working directory, else\n"
      "                $XDG_DATA_HOME/quarvel/hiscore.txt (~/.local/share/quarvel)\n"
      "  settings      $XDG_CONFIG_HOME/quarvel/quarvel.ini (~/.config/quarvel), keys:\n";
  text += settingsKeysHelp(fullScreenBuild);
  text += "  screenshots   $XDG_PICTURES_DIR (or ~/.local/share/quarvel), quarvel-DATE-TIME.png\n";
  return text;
}

CommandLine parseCommandLine(const std::vector<std::string>& args, RunOptions& options) {
  auto fail = [](const std::string& message) {
    warn(message + " (try --help)");
    return CommandLine::Bad;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& given = args[i];
    if (containsNoSound(given)) {
      options.soundWanted = false;
      continue;
    }
    // --name=value is --name value.
    std::string arg = given;
    std::optional<std::string> attached;
    size_t equals = given.find('=');
    if (given.rfind("--", 0) == 0 && equals != std::string::npos) {
      arg = given.substr(0, equals);
      attached = given.substr(equals + 1);
    }
    const OptionHelp* option = findOption(arg == "-h" ? "--help" : arg);
    if (option == nullptr) return fail("unknown option '" + given + "'");
    if (attached && option->value == nullptr) return fail(arg + " takes no value");
    std::string text;
    auto value = [&](std::string& out) {
      if (attached) {
        out = *attached;
      } else {
        if (i + 1 >= args.size()) return false;
        out = args[++i];
      }
      return !out.empty();
    };
    int64_t number = 0;
    arg = option->name;
    if (arg == "--help") {
      std::fputs(commandLineHelp(options.fullScreen).c_str(), stdout);
      return CommandLine::Done;
    } else if (arg == "--version") {
      std::printf("%s %s\n", programName().c_str(), QUARVEL_VERSION);
      return CommandLine::Done;
    } else if (arg == "--headless") {
      options.headless = true;
    } else if (arg == "--timedemo") {
      options.timedemo = true;
    } else if (arg == "--frame-stats") {
      options.frameStats = true;
    } else if (arg == "--seed") {
      if (!value(text) || !parseWholeNumber(text, 4294967295LL, number))
        return fail("--seed needs a whole number from 0 to 4294967295");
      options.seedGiven = true;
      options.seed = static_cast<uint32_t>(number);
    } else if (arg == "--input") {
      if (!value(options.inputFile)) return fail("--input needs a file");
    } else if (arg == "--record") {
      if (!value(options.recordFile)) return fail("--record needs a file");
    } else if (arg == "--verify") {
      if (!value(options.verifyFile)) return fail("--verify needs a file");
      options.headless = true;
    } else if (arg == "--replay") {
      if (!value(options.watchFile)) return fail("--replay needs a file");
    } else if (arg == "--replay-link") {
      if (!value(options.replayLinkFile)) return fail("--replay-link needs a file");
    } else if (arg == "--scene") {
      if (!value(text) || std::find(std::begin(SCENES), std::end(SCENES), text) == std::end(SCENES))
        return fail("--scene needs one of title, stage1, stage2, stage3, story0, story1, story2, story3");
      options.scene = text;
    } else if (arg == "--shots") {
      if (!value(options.shotsDir)) return fail("--shots needs a folder");
    } else if (arg == "--shot-frames") {
      options.shotFrames.clear();
      if (!value(text) || !parseFrameList(text, options.shotFrames))
        return fail("--shot-frames needs a list such as 1,5,10-20 or all");
    } else if (arg == "--frame-hashes") {
      if (!value(options.frameHashes)) return fail("--frame-hashes needs a file");
    } else if (arg == "--sound-log") {
      if (!value(options.soundLog)) return fail("--sound-log needs a file");
    } else if (arg == "--fullscreen" || arg == "--window") {
      options.fullScreenOption = arg == "--fullscreen" ? 1 : 0;
    } else if (arg == "--scale") {
      if (!value(text) || !parseWholeNumber(text, 8, number) || number < 1)
        return fail("--scale needs a whole number from 1 to 8");
      options.scaleOption = static_cast<int>(number);
    } else if (arg == "--volume") {
      if (!value(text) || !parseWholeNumber(text, 100, number))
        return fail("--volume needs a whole number from 0 to 100");
      options.volumeOption = static_cast<int>(number);
    } else if (arg == "--no-sound") {
      options.noSoundOption = true;
    } else if (arg == "--config") {
      if (!value(options.configFile)) return fail("--config needs a file");
    } else if (arg == "--data") {
      if (!value(options.dataOption)) return fail("--data needs a folder");
    } else if (arg == "--hiscore") {
      if (!value(options.hiscoreFile)) return fail("--hiscore needs a file");
    } else if (arg == "--max-ms") {
      if (!value(text) || !parseWholeNumber(text, 1LL << 50, number)) return fail("--max-ms needs a whole number");
      options.maxMs = number;
      options.maxMsGiven = true;
    }
  }
  if (options.headless && !options.recordFile.empty() && options.inputFile.empty())
    return fail("--record needs --input when headless");
  if (!options.verifyFile.empty() &&
      (!options.inputFile.empty() || !options.scene.empty() || !options.recordFile.empty()))
    return fail("--verify plays its own file: no --input, --scene or --record with it");
  if (!options.watchFile.empty() && (options.headless || !options.verifyFile.empty() || !options.inputFile.empty() ||
                                     !options.scene.empty() || !options.recordFile.empty()))
    return fail("--replay plays its own file in the window: no --headless, --verify, --input, --scene or --record");
  if (options.timedemo && (!options.headless || options.inputFile.empty()))
    return fail("--timedemo needs --headless and --input");
  return CommandLine::Run;
}
