// A whole game from the title through the three stages to the ending and
// back, played in-process by the automated players exactly as the main loop
// plays it. Every key they press becomes a script; the script is kept as
// bench/whole_game.txt (for --timedemo) and replayed through the real binary,
// which must play the very same game.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "formats/bmp.h"
#include "formats/key_names.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/hiscore.h"
#include "game/title.h"
#include "machine/machine.h"
#include "support/player_one.h"
#include "support/player_three.h"
#include "support/player_two.h"
#include "support/run_game.h"
#include "support/session.h"

namespace {

constexpr uint32_t SEED = 2;  // one continue in stage two
const std::string SCRIPT_PATH = std::string(QUARVEL_SOURCE_DIR) + "/bench/whole_game.txt";

struct WholeGame {
  std::string script;
  StageResult results[3] = {StageResult::Running, StageResult::Running, StageResult::Running};
  int32_t finalScore = 0;
  int32_t highScore = 0;
  std::string soundLog;
  std::string titleShot;  // the title shown after the game, as a BMP file
};

// Every input, whoever gave it, as a script line without its time.
struct InputRecorder : machine::Observer {
  std::function<void(const std::string&)> record;
  void input(const machine::InputEvent& event, machine::InputOrigin) override {
    switch (event.kind) {
      case machine::InputEvent::Press: record("down " + nameForScanCode(event.scanCode)); break;
      case machine::InputEvent::Release: record("up " + nameForScanCode(event.scanCode)); break;
      case machine::InputEvent::Type: record("type " + event.value); break;
      case machine::InputEvent::Close: record("close"); break;
    }
  }
};

// The main loop's game, step by step: Space on the title (scripted at the
// start), then the stages for as long as each is cleared, then Esc on the title.
WholeGame playWholeGame(uint32_t seed) {
  WholeGame played;
  std::string opening = "1 down space\n2 up space\n";
  TestSession session(opening, seed, true);
  Game& game = session.game;
  stage_two::Tower tower;
  game.gameState.highScore = loadHighScore(game);
  game.gameState.credits = 3;
  playToEnd(game, runTitleScreen(game));
  played.script = "seed " + std::to_string(seed) + "\n" + opening;
  InputRecorder recorder;
  recorder.record = [&](const std::string& event) {
    // Keys chosen while a frame is presented must reach the replay after that
    // frame's sleep; scheduled input arrives at its own time.
    played.script += std::to_string(virtualMs(game) + (choosingKeys ? 1 : 0)) + " " + event + "\n";
  };
  machine::attach(game, recorder);
  game.gameState.score = 0;
  game.gameState.credits -= 1;
  played.results[0] = playStageOneAutomatically(game);
  if (played.results[0] == StageResult::Cleared) played.results[1] = playStageTwoAutomatically(game, tower);
  if (played.results[1] == StageResult::Cleared) played.results[2] = playStageThreeAutomatically(game);
  machine::detach(game, recorder);
  played.script += std::to_string(virtualMs(game) + 1) + " down esc\n";
  played.finalScore = game.gameState.score;
  played.highScore = game.gameState.highScore;
  game.gameState.credits = 3;
  queueKeyValue(game, std::string(1, KEY_ESC_CHAR));
  playToEnd(game, runTitleScreen(game));
  std::vector<uint8_t> shot = encodeBmp(machine::visiblePage(game), SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_WIDTH);
  played.titleShot.assign(shot.begin(), shot.end());
  played.soundLog = readFileText(session.soundLogPath);
  return played;
}

}  // namespace

TEST(WholeGame, AutomatedPlayersWinAndTheBinaryReplaysTheSameGame) {
  const char* seedText = std::getenv("QUARVEL_SEED_SEARCH");
  WholeGame game = playWholeGame(seedText != nullptr ? static_cast<uint32_t>(std::atoi(seedText)) : SEED);
  ASSERT_EQ(game.results[0], StageResult::Cleared) << "stage one cleared";
  ASSERT_EQ(game.results[1], StageResult::Cleared) << "stage two cleared";
  ASSERT_EQ(game.results[2], StageResult::Cleared) << "stage three cleared";

  if (std::getenv("QUARVEL_WRITE_WHOLE_GAME") != nullptr) std::ofstream(SCRIPT_PATH, std::ios::binary) << game.script;
  EXPECT_TRUE(readFileText(SCRIPT_PATH) == game.script)
      << "the game plays differently now: rerun this test with QUARVEL_WRITE_WHOLE_GAME=1 to renew "
         "bench/whole_game.txt";

  GameRun run = runBinary("--headless --input input.txt --shots shots --sound-log sound.txt", game.script);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "FMOD CLOSED\n");
  EXPECT_TRUE(readFileText(run.folder + "/sound.txt") == game.soundLog) << "the same sounds in the same frames";
  EXPECT_TRUE(readFileText(run.folder + "/shots/final.bmp") == game.titleShot)
      << "back at the title with credits 03 and the final score";
  EXPECT_EQ(readFileText(run.folder + "/hiscore.txt"), "hi-score\r\n " + std::to_string(game.highScore) + "\r\n");
  EXPECT_GT(game.finalScore, 1000);
  EXPECT_GE(game.highScore, game.finalScore);
}

TEST(WholeGame, TimedemoReportsTheWholeRun) {
  GameRun run = runBinary("--headless --timedemo --input input.txt", readFileText(SCRIPT_PATH));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("timedemo: "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" frames in "), std::string::npos);
  EXPECT_NE(run.out.find("frames per second, slowest frame "), std::string::npos);
}
