#include "app/kept_replays.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/replay_run.h"
#include "app/run_files.h"
#include "os/files.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t MINUTES_LENGTH = 16;  // "2026-12-09T08:43" of the played time

bool newerFirst(const KeptReplay& a, const KeptReplay& b) {
  if (a.played != b.played) return a.played > b.played;
  return a.path > b.path;
}

// "...-s3.replay" or "...-s3-2.replay" (a second game in the same second).
int stageInName(const std::string& name) {
  const size_t at = name.rfind("-s");
  if (at == std::string::npos || at + 2 >= name.size()) return 0;
  const char digit = name[at + 2];
  return digit >= '1' && digit <= '0' + ENDING_STAGE ? digit - '0' : 0;
}

}  // namespace

std::string replaysFolder(const std::string& highScorePath) {
  const fs::path folder = os::pathFromUtf8(highScorePath).parent_path();
  return os::utf8FromPath(folder / "replays");
}

std::string replayFileName(int64_t played, int stage) {
  std::string time = isoTimeOfSeconds(played);  // 2026-12-09T08:43:55Z
  if (!time.empty() && time.back() == 'Z') time.pop_back();
  std::replace(time.begin(), time.end(), ':', '-');  // no colons in Windows names
  return time + "-s" + std::to_string(stage) + REPLAY_EXTENSION;
}

std::string keptReplayLine(const KeptReplay& replay) {
  std::string time = isoTimeOfSeconds(replay.played);  // 2026-12-09T08:43:55Z
  if (time.size() >= MINUTES_LENGTH) time = time.substr(0, MINUTES_LENGTH);
  std::replace(time.begin(), time.end(), 'T', ' ');
  std::string line = time + " " + std::to_string(replay.score);
  line += replay.stage == ENDING_STAGE ? " E" : " S";
  if (replay.stage != ENDING_STAGE) line += std::to_string(replay.stage);
  return line;
}

std::vector<KeptReplay> listKeptReplays(const std::string& folder) {
  std::vector<KeptReplay> kept;
  std::error_code error;
  for (fs::directory_iterator entry(os::pathFromUtf8(folder), error), end; !error && entry != end;
       entry.increment(error)) {
    const fs::path& path = entry->path();
    if (path.extension() != REPLAY_EXTENSION) continue;
    const std::string name = os::utf8FromPath(path);
    Replay replay;
    if (!readReplayFile(name, replay).ok() || replay.plainScript) continue;
    KeptReplay item;
    item.path = name;
    item.played = replay.played.value_or(0);
    item.stage = stageInName(os::utf8FromPath(path.filename()));
    if (replay.claims) {
      item.score = replay.claims->score;
      item.raisedHighScore = replay.claims->highScore > replay.startHighScore;
    }
    kept.push_back(std::move(item));
  }
  std::sort(kept.begin(), kept.end(), newerFirst);
  return kept;
}

std::vector<std::string> replaysToDelete(std::vector<KeptReplay> kept) {
  std::sort(kept.begin(), kept.end(), newerFirst);
  std::vector<KeptReplay> staying;
  std::vector<KeptReplay> going;
  for (size_t i = 0; i < kept.size(); ++i)
    (i < KEEP_LAST_GAMES || kept[i].raisedHighScore ? staying : going).push_back(kept[i]);
  // Past the cap the oldest of those staying go (past the 20 newest, each of
  // them raised the high score).
  while (staying.size() > KEEP_AT_MOST) {
    going.push_back(staying.back());
    staying.pop_back();
  }
  std::sort(going.begin(), going.end(), [](const KeptReplay& a, const KeptReplay& b) { return newerFirst(b, a); });
  std::vector<std::string> paths;
  paths.reserve(going.size());
  for (const KeptReplay& old : going) paths.push_back(old.path);
  return paths;
}

Outcome keepReplay(const std::string& folder, const Replay& replay, int stage) {
  if (!os::makeFolders(folder)) return Outcome::failure("cannot make the folder " + folder);
  const fs::path base = os::pathFromUtf8(folder);
  std::string name = replayFileName(replay.played.value_or(0), stage);
  std::error_code error;
  for (int again = 2; fs::exists(base / os::pathFromUtf8(name), error); ++again) {
    name = replayFileName(replay.played.value_or(0), stage);
    std::string second = "-";  // built in two steps: g++ 12's -Wrestrict misfires on "-" + a string
    second += std::to_string(again);
    name.insert(name.size() - std::string(REPLAY_EXTENSION).size(), second);
  }
  Outcome written = os::replaceFile(os::utf8FromPath(base / os::pathFromUtf8(name)), replayText(replay));
  if (!written.ok()) return written;
  for (const std::string& old : replaysToDelete(listKeptReplays(folder))) fs::remove(os::pathFromUtf8(old), error);
  return {};
}
