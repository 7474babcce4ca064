// The game binaries driven from outside: command line, scripts, exit codes,
// screenshots, and the high-score file a first start creates.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/files.h"
#include "support/run_game.h"

namespace fs = std::filesystem;

namespace {

// Pixel (x, y) of a 320x240 24-bit bottom-up BMP, as 0xRRGGBB.
uint32_t bmpPixel(const std::string& bytes, int x, int y) {
  size_t at = 54 + static_cast<size_t>(239 - y) * 960 + 3 * x;
  if (bytes.size() < at + 3) return 0xFFFFFFFF;
  auto b = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])); };
  return b(2) << 16 | b(1) << 8 | b(0);
}

}  // namespace

TEST(CommandLine, HelpAndBadOptions) {
  GameRun help = runBinary("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--headless"), std::string::npos);
  for (const char* bad : {"--bogus", "--seed", "--seed -3", "--seed 99999999999", "--scene stage9", "--shot-frames 5-2",
                          "--max-ms x", "--headless --record r.txt", "--timedemo"}) {
    GameRun run = runBinary(std::string("--headless ") + bad);
    EXPECT_EQ(run.exitCode, 2) << bad;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << bad << ": " << run.err;
  }
}

TEST(CommandLine, MalformedScriptsAreReportedBeforeAnythingOpens) {
  struct Case {
    const char* script;
    const char* where;
  } cases[] = {{"10 down esc\n5 up esc\n", "input.txt:2: "}, {"# comment\n10 press esc\n", "input.txt:2: "},
               {"10 down f12\n", "input.txt:1: "},           {"abc down esc\n", "input.txt:1: "},
               {"10 down esc\nseed 4\n", "input.txt:2: "},   {"10 shot ../x\n", "input.txt:1: "}};
  for (const Case& c : cases) {
    GameRun run = runBinary("--headless --input input.txt", c.script);
    EXPECT_EQ(run.exitCode, 2) << c.script;
    EXPECT_EQ(run.err.rfind(std::string("quarvel-win: ") + c.where, 0), 0u) << run.err;
    EXPECT_FALSE(fs::exists(run.folder + "/hiscore.txt")) << "nothing started";
  }
  GameRun missing = runBinary("--headless --input nowhere.txt");
  EXPECT_EQ(missing.exitCode, 2);
}

TEST(Title, EscEndsWithCodeZeroAndTheFirstStartCreatesTheHighScoreFile) {
  GameRun run = runBinary("--headless --input input.txt --shots shots", "seed 7\n# leave at once\n200 down esc\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(readFileText(run.folder + "/hiscore.txt"), std::string("hi-score\r\n 1000\r\n"));
  EXPECT_EQ(run.out, "FMOD CLOSED\n") << "sound was ready, so its closing line is printed";
  std::string shot = readFileText(run.folder + "/shots/final.bmp");
  ASSERT_EQ(shot.size(), 54u + 320 * 240 * 3);
  EXPECT_EQ(bmpPixel(shot, 2, 100), 100u) << "blue gradient";
  EXPECT_EQ(bmpPixel(shot, 2, 239), 239u);
  // "PRESS SPACE KEY TO START" in white at (64, 184), 24 characters.
  int white = 0;
  for (int y = 184; y < 192; ++y)
    for (int x = 64; x < 64 + 24 * 8; ++x) white += bmpPixel(shot, x, y) == 0xFFFFFF;
  EXPECT_GT(white, 100);
  for (int y = 184; y < 192; ++y) EXPECT_EQ(bmpPixel(shot, 63, y), static_cast<uint32_t>(y));
}

TEST(Title, NoSoundAnywhereInTheArgumentsMeansNoClosingLine) {
  for (const char* word : {"NOSOUND", "-nosound", "xNoSoundx"}) {
    GameRun run = runBinary(std::string("--headless --input input.txt ") + word, "10 down esc\n");
    EXPECT_EQ(run.exitCode, 0) << word << run.err;
    EXPECT_EQ(run.out, "") << word;
  }
}

TEST(Title, TheCloseButtonDoesNotEndTheGame) {
  GameRun run = runBinary("--headless --input input.txt --max-ms 5000 --shots s", "10 close\n20 close\n");
  EXPECT_EQ(run.exitCode, 3) << "still waiting at the title when the clock ran out";
  EXPECT_NE(run.err.find("max-ms"), std::string::npos);
  EXPECT_TRUE(fs::exists(run.folder + "/s/final.bmp"));
}

TEST(Title, ShotsAtScriptedTimesAndFramesOfAScene) {
  GameRun run = runBinary("--headless --input input.txt --shots out --shot-frames 1,3-4 --scene story0",
                          "5 shot early\n5000 down esc\n5050 up esc\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(fs::exists(run.folder + "/out/early.bmp"));
  EXPECT_TRUE(fs::exists(run.folder + "/out/frame-000001.bmp"));
  EXPECT_FALSE(fs::exists(run.folder + "/out/frame-000002.bmp"));
  EXPECT_TRUE(fs::exists(run.folder + "/out/frame-000004.bmp"));
  EXPECT_TRUE(fs::exists(run.folder + "/out/final.bmp"));
}

TEST(Replay, TheSameSeedAndInputGiveTheSameGame) {
  const char* script =
      "seed 99\n100 down space\n150 up space\n400 down right\n1500 up right\n1600 down space\n"
      "1650 up space\n4000 down left\n5200 up left\n";
  std::string args = "--headless --input input.txt --max-ms 9000 --shots s --sound-log sound.txt";
  GameRun first = runBinary(args, script);
  GameRun second = runBinary(args, script);
  EXPECT_EQ(first.exitCode, 3);
  EXPECT_EQ(readFileText(first.folder + "/s/final.bmp"), readFileText(second.folder + "/s/final.bmp"));
  EXPECT_EQ(readFileText(first.folder + "/sound.txt"), readFileText(second.folder + "/sound.txt"));
  EXPECT_NE(readFileText(first.folder + "/sound.txt"), "");
}

TEST(Builds, TheFullScreenBuildRunsHeadlessToo) {
  GameRun run = runBinary("--headless --input input.txt", "10 down esc\n", "quarvel");
  EXPECT_EQ(run.exitCode, 0) << run.err;
}

TEST(Replay, ScriptedInputReachesAStageRunningFlatOutWithCtrl) {
  // Ctrl held makes stage three skip its frame sleep; the release and the Esc
  // after it must still arrive on time.
  GameRun run = runBinary("--headless --scene stage3 --input input.txt --shots s --max-ms 60000",
                          "100 down ctrl\n300 up ctrl\n2000 down esc\n2100 up esc\n2150 shot prompt\n2200 type y\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::string shot = readFileText(run.folder + "/s/prompt.bmp");
  EXPECT_EQ(bmpPixel(shot, 42, 98), 0xFFFFFFu) << "the exit prompt's frame is up";
  EXPECT_EQ(bmpPixel(shot, 43, 99), 0x000000u);
}
