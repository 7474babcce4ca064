// The programs against odd files and places: data files that are pipes or
// endless devices, output options naming places that cannot be written, a
// read-only high score, and no display at all.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "support/files.h"
#include "support/run_game.h"

namespace fs = std::filesystem;

namespace {

// Runs the headless game in a scratch folder prepared by `prepare`, killed
// after 60 s at most (a hang shows as exit code 124).
GameRun runPrepared(const std::string& args, void (*prepare)(const std::string& folder),
                    const std::string& environment = "") {
  GameRun run;
  run.folder = makeScratchFolder("odd-run");
  copyGameData(run.folder);
  std::ofstream(run.folder + "/input.txt", std::ios::binary) << "seed 3\n100 down esc\n";
  prepare(run.folder);
  std::string command = "cd '" + run.folder + "' && " + environment + " timeout 60 '" + QUARVEL_BUILD_DIR +
                        "/quarvel-win' " + args + " >stdout.txt 2>stderr.txt";
  int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = readFileText(run.folder + "/stdout.txt");
  run.err = readFileText(run.folder + "/stderr.txt");
  return run;
}

int lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(OddDataFiles, APipeOrADeviceInPlaceOfADataFileNeverHangsTheStart) {
  struct Case {
    void (*prepare)(const std::string&);
    const char* args;
    int errorLines;
  };
  // A sample or high score that cannot be read is one line on stderr; a
  // sprite sheet that is no regular file is no sprite sheet, so the search
  // goes on to the one beside the program (and the high score to the user's
  // data folder, here inside the run's folder).
  const Case cases[] = {
      {[](const std::string& f) { fs::remove(f + "/WAV/2.WAV"), mkfifo((f + "/WAV/2.WAV").c_str(), 0644); }, "", 1},
      {[](const std::string& f) { fs::remove(f + "/WAV/1.WAV"), fs::create_symlink("/dev/zero", f + "/WAV/1.WAV"); },
       "", 1},
      {[](const std::string& f) {
         fs::remove(f + "/graphics/graphics.bmp"), mkfifo((f + "/graphics/graphics.bmp").c_str(), 0644);
       },
       "", 0},
      {[](const std::string& f) { mkfifo((f + "/hiscore.txt").c_str(), 0644); }, "", 1},
  };
  for (const Case& c : cases) {
    GameRun run =
        runPrepared(std::string("--headless --input input.txt ") + c.args, c.prepare, "XDG_DATA_HOME=\"$PWD/xdg\"");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lines(run.err), c.errorLines) << run.err;
  }
}

// A sprite sheet that is there but damaged is as clear an error as a
// missing one: one line naming the file, exit code 1, nothing saved.
TEST(OddDataFiles, ADamagedSpriteSheetIsOneLineNamingItAndExitCodeOne) {
  const std::vector<void (*)(const std::string&)> damages = {
      [](const std::string& f) { fs::resize_file(f + "/graphics/graphics.bmp", 1000); },  // truncated
      [](const std::string& f) { fs::resize_file(f + "/graphics/graphics.bmp", 0); },     // zero bytes
      [](const std::string& f) {                                                          // random bytes
        std::string bytes(24630, '\0');
        uint32_t seed = 77;
        for (char& c : bytes) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
        std::ofstream(f + "/graphics/graphics.bmp", std::ios::binary) << bytes;
      },
      [](const std::string& f) {  // a good BMP of another size: the sheet's first 64 by 32 pixels
        std::string bmp = readFileText(f + "/graphics/graphics.bmp");
        for (int i = 0; i < 4; ++i) bmp[22 + i] = static_cast<char>(32 >> (8 * i));
        std::ofstream(f + "/graphics/graphics.bmp", std::ios::binary) << bmp;
      },
  };
  for (size_t i = 0; i < damages.size(); ++i) {
    GameRun run = runPrepared("--headless --input input.txt NOSOUND", damages[i]);
    EXPECT_EQ(run.exitCode, 1) << "damage " << i << ": " << run.err;
    EXPECT_EQ(lines(run.err), 1) << run.err;
    EXPECT_NE(run.err.find("graphics/graphics.bmp"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(run.folder + "/hiscore.txt")) << "nothing saved: " << i;
  }
}

TEST(OddDataFiles, AReadOnlyHighScoreIsShownAndKept) {
  GameRun run = runPrepared("--headless --input input.txt --shots shots", [](const std::string& f) {
    std::ofstream(f + "/hiscore.txt", std::ios::binary) << "hi-score\r\n 54321\r\n";
    chmod((f + "/hiscore.txt").c_str(), 0444);
  });
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(readFileText(run.folder + "/hiscore.txt"), "hi-score\r\n 54321\r\n");
  EXPECT_EQ(lines(run.err), 1) << run.err;
  // The title shows it: the same picture as with a writable file of 54321.
  GameRun writable = runPrepared("--headless --input input.txt --shots shots", [](const std::string& f) {
    std::ofstream(f + "/hiscore.txt", std::ios::binary) << "hi-score\r\n 54321\r\n";
  });
  EXPECT_EQ(readFileText(run.folder + "/shots/final.bmp"), readFileText(writable.folder + "/shots/final.bmp"));
}

TEST(OutputOptions, PlacesThatCannotBeUsedAreErrorsAtStartUp) {
  const char* bad[] = {
      "--input folder",     "--input pipe",
      "--input /dev/zero",  "--input big.txt",
      "--shots plain.txt",  "--shots /proc/quarvel-shots",
      "--sound-log folder", "--sound-log /proc/quarvel.log",
      "--sound-log pipe",   "--shot-frames 0",
      "--shot-frames 0-5",  "--shot-frames 3,0",
  };
  for (const char* args : bad) {
    GameRun run = runPrepared(std::string("--headless --input input.txt ") + args, [](const std::string& f) {
      fs::create_directory(f + "/folder");
      mkfifo((f + "/pipe").c_str(), 0644);
      std::ofstream(f + "/plain.txt") << "x";
      std::ofstream big(f + "/big.txt", std::ios::binary);
      big.seekp(64 << 20, std::ios::beg);
      big.put('\n');
    });
    EXPECT_EQ(run.exitCode, 2) << args;
    EXPECT_EQ(lines(run.err), 1) << args << ": " << run.err;
    EXPECT_FALSE(fs::exists(run.folder + "/hiscore.txt")) << args << ": nothing started";
  }
}

TEST(NoDisplay, TheWindowBuildSaysSoInOneLineAndEndsWithOne) {
  GameRun run = runPrepared(
      "--input input.txt NOSOUND", [](const std::string&) {}, "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER");
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(lines(run.err), 1) << run.err;
  EXPECT_NE(run.err.find("cannot open a window"), std::string::npos) << run.err;
}
