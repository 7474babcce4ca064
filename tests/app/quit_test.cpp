// Every way a run ends from outside its scenes, in the middle of a stage,
// in-process: the running scene is destroyed where it stands (under the
// sanitizers, LeakSanitizer checks that nothing of it is left) and the run
// ends through the one shutdown: a reached high score saved, the final shot
// written, the closing line printed, the exit code returned.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "app/flow.h"
#include "machine/observer.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

// A high score of 0 is reached from the first frame: a save writes the
// LF-only file anew with CR LF.
const std::string UNSAVED = "hi-score\n0\n";
const std::string SAVED = "hi-score\r\n 0\r\n";

struct Ending {
  int code = -1;
  std::string out;
  std::string highScore;
  bool finalShot = false;
};

// Stage three (which owns the UFO's pictures while it runs) with these
// options; the watcher sees every frame.
Ending quitStageThree(const std::vector<std::string>& options, machine::Observer* watcher = nullptr) {
  const std::string folder = makeScratchFolder("quit");
  copyGameData(folder);
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  writeFile("hiscore.txt", UNSAVED);
  std::vector<std::string> args = {"--headless", "--scene", "stage3", "--shots", "shots", "--hiscore", "hiscore.txt"};
  args.insert(args.end(), options.begin(), options.end());
  Ending ending;
  testing::internal::CaptureStdout();
  ending.code = runGame(args, false, watcher);
  ending.out = testing::internal::GetCapturedStdout();
  ending.highScore = readFileText("hiscore.txt");
  ending.finalShot = fs::exists("shots/final.bmp");
  fs::current_path(previous);
  fs::remove_all(folder);
  return ending;
}

}  // namespace

TEST(Quit, ASignalMidStageSavesTheReachedHighScoreAndEndsWithZero) {
  struct Signaller : machine::Observer {
    void framePresented(int64_t frame, const uint32_t*) override {
      if (frame == 40) std::raise(SIGTERM);
    }
  } signaller;
  Ending ending = quitStageThree({}, &signaller);
  EXPECT_EQ(ending.code, 0);
  EXPECT_EQ(ending.highScore, SAVED);
  EXPECT_TRUE(ending.finalShot);
  EXPECT_EQ(ending.out, "FMOD CLOSED\n") << "printed once, by the shutdown";
}

TEST(Quit, TheCloseButtonQuitsWhenChosen) {
  const std::string config = makeScratchFolder("quit-config") + "/quarvel.ini";
  writeFile(config, "close_button = quit\n");
  writeFile(config + ".script", "900 close\n");
  Ending quits = quitStageThree({"--config", config, "--input", config + ".script", "--max-ms", "5000"});
  EXPECT_EQ(quits.code, 0);
  EXPECT_EQ(quits.highScore, SAVED);
  EXPECT_TRUE(quits.finalShot);
  fs::remove_all(fs::path(config).parent_path());
}

TEST(Quit, TheClockLimitStopsWithoutSavingAndSaysSo) {
  testing::internal::CaptureStderr();
  Ending ending = quitStageThree({"--max-ms", "1500"});
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(ending.code, 3);
  EXPECT_EQ(ending.highScore, UNSAVED) << "a harness's stop is not a player's";
  EXPECT_TRUE(ending.finalShot);
  EXPECT_NE(err.find("--max-ms 1500"), std::string::npos) << err;
}
