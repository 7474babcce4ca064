// Where the game finds its data and keeps the high score, from any folder;
// what a missing sheet or sample does; Ctrl+C and SIGTERM.
#include "support/files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "app/flow.h"
#include "app/player_files.h"
#include "game/game_state.h"
#include "support/input.h"
#include "support/player_support.h"

namespace fs = std::filesystem;

namespace {

const std::string DEFAULT_FILE = "hi-score\r\n 1000\r\n";

void putSheet(const fs::path& folder) { writeFile((folder / "graphics" / "graphics.bmp").string(), "BM"); }

// A copy of the window build with the data laid out as an install has it:
// ROOT/bin/quarvel-win and ROOT/share/quarvel/{graphics,WAV}.
std::string relocatableInstall(const std::string& root) {
  fs::create_directories(root + "/bin");
  fs::copy_file(builtBinary("quarvel-win"), root + "/bin/quarvel-win");
  fs::create_directories(root + "/share/quarvel");
  copyGameData(root + "/share/quarvel");
  return root + "/bin/quarvel-win";
}

}  // namespace

TEST(DataSearch, DataOptionThenWorkingDirectoryThenExecutableThenShareBesideIt) {
  fs::path root = makeScratchFolder("search");
  fs::path option = root / "option", work = root / "work", exe = root / "exe", share = root / "share" / "quarvel";
  for (const fs::path& folder : {option, work, exe, share}) fs::create_directories(folder);
  fs::path previous = fs::current_path();
  fs::current_path(work);
  struct Case {
    std::vector<fs::path> withSheet;
    bool useOption;
    std::string expected;  // "" = the working directory, "-" = nowhere
  } cases[] = {
      {{option, work, exe, share}, true, option.string()},
      {{work, exe, share}, true, ""},
      {{option, work, exe, share}, false, ""},
      {{exe, share}, true, exe.string()},
      {{share}, true, share.string()},
      {{}, true, "-"},
  };
  for (const Case& c : cases) {
    for (const fs::path& folder : {option, work, exe, share}) fs::remove_all(folder / "graphics");
    for (const fs::path& folder : c.withSheet) putSheet(folder);
    DataSearch found = findGameData(c.useOption ? option.string() : "", exe.string() + "/");
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(found.found, c.expected != "-");
    if (found.found) {
      EXPECT_EQ(found.folder, c.expected);
      EXPECT_EQ(found.fromWorkingDirectory, c.expected.empty());
    } else {
      EXPECT_EQ(found.searched,
                (std::vector<std::string>{option.string(), work.string(), exe.string(), share.string()}));
    }
  }
  fs::current_path(previous);
  fs::remove_all(root);
}

TEST(DataSearch, NoSheetAnywhereIsOneLineAndExitCodeOneWithNothingWritten) {
  std::string root = makeScratchFolder("nosheet");
  fs::create_directories(root + "/bin");
  fs::copy_file(builtBinary("quarvel-win"), root + "/bin/quarvel-win");
  fs::create_directories(root + "/elsewhere");
  // The window build also tries a message box; without a display it just goes on.
  for (const char* args : {"--headless --scene title", "--headless --data ..", "--scene title"}) {
    GameRun run = runIn(root + "/elsewhere", root + "/bin/quarvel-win", args);
    EXPECT_EQ(run.exitCode, 1) << args;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find("graphics/graphics.bmp"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(root + "/elsewhere"), std::string::npos) << "names the folders searched: " << run.err;
    EXPECT_NE(run.err.find(root + "/share/quarvel"), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(root + "/elsewhere/hiscore.txt"));
  EXPECT_FALSE(fs::exists(root + "/elsewhere/home/data/quarvel"));
  // A folder or file named on the command line must be there: a slip of the
  // keyboard is told, not passed over for the defaults.
  for (const char* args : {"--headless --data /no/such/folder", "--headless --config /no/such.ini"}) {
    GameRun run = runIn(root + "/elsewhere", root + "/bin/quarvel-win", args);
    EXPECT_EQ(run.exitCode, 2) << args;
    EXPECT_NE(run.err.find("/no/such"), std::string::npos) << run.err;
  }
  fs::remove_all(root);
}

TEST(HighScorePlace, InstalledGameKeepsItInTheUserDataFolderAndHiscoreOverridesAll) {
  std::string root = makeScratchFolder("place");
  std::string binary = relocatableInstall(root);
  fs::create_directories(root + "/elsewhere");
  writeFile(root + "/in.txt", "10 down esc\n");
  GameRun run = runIn(root + "/elsewhere", binary, "--headless --input ../in.txt NOSOUND");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(readFileText(root + "/elsewhere/home/data/quarvel/hiscore.txt"), DEFAULT_FILE);
  EXPECT_FALSE(fs::exists(root + "/elsewhere/hiscore.txt"));
  // --hiscore wins over the user folder and over the classic layout.
  fs::create_directories(root + "/classic");
  copyGameData(root + "/classic");
  for (const std::string& where : {root + "/elsewhere", root + "/classic"}) {
    run = runIn(where, binary, "--headless --input ../in.txt NOSOUND --hiscore ../mine.txt");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFileText(root + "/mine.txt"), DEFAULT_FILE);
    EXPECT_FALSE(fs::exists(where + "/hiscore.txt"));
    fs::remove(root + "/mine.txt");
  }
  EXPECT_FALSE(fs::exists(root + "/classic/home/data/quarvel/hiscore.txt"));
  fs::remove_all(root);
}

TEST(HighScorePlace, WatchingARecordingInTheWindowNeverSavesButHeadlessDoes) {
  std::string root = makeScratchFolder("watch");
  copyGameData(root);
  // Leave stage one through the exit prompt: the stage end saves a reached
  // high score, and 0 = 0 is reached. The LF-only file would come back CR LF.
  writeFile(root + "/in.txt", "100 down esc\n200 up esc\n400 type y\n");
  const std::string lfOnly = "hi-score\n 0\n";
  for (bool headless : {false, true}) {
    writeFile(root + "/hiscore.txt", lfOnly);
    GameRun run = runIn(root, builtBinary("quarvel-win"),
                        std::string(headless ? "--headless " : "") + "--scene stage1 --input in.txt NOSOUND");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFileText(root + "/hiscore.txt"), headless ? "hi-score\r\n 0\r\n" : lfOnly) << headless;
  }
  fs::remove_all(root);
}

TEST(Sound, AMissingSampleIsAWarningAndOnlyThatSampleIsSilent) {
  std::string root = makeScratchFolder("sample");
  copyGameData(root);
  fs::remove(root + "/WAV/5.WAV");
  // Stage one marches on samples 5, 6, 7, 4 and fires sample 1.
  writeFile(root + "/in.txt", "100 down space\n200 up space\n");
  GameRun run = runIn(root, builtBinary("quarvel-win"),
                      "--headless --scene stage1 --input in.txt --max-ms 4000 --sound-log log.txt");
  EXPECT_EQ(run.exitCode, 3) << run.err;
  EXPECT_EQ(run.err.rfind("quarvel-win: warning: the sample WAV/5.WAV is missing", 0), 0u) << run.err;
  std::string log = readFileText(root + "/log.txt");
  EXPECT_NE(log.find(" 1 1 255\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" 6 4 255\n"), std::string::npos) << log;
  EXPECT_EQ(log.find(" 5 4 255\n"), std::string::npos) << log;
  fs::remove_all(root);
}

// Ctrl+C or SIGTERM in the middle of a stage ends the program with status 0,
// saving the high score the player has reached; in both back ends (SIGTERM
// headless, SIGINT in the window).
TEST(QuitSignal, SigtermSavesAReachedHighScoreAndExitsZero) {
  std::string root = makeScratchFolder("sigterm");
  for (bool headless : {true, false}) {
    std::string file = root + (headless ? "/headless.txt" : "/window.txt");
    // A high score of 0 is reached from the first frame; the save writes the
    // file anew, with CR LF line ends.
    writeFile(file, "hi-score\n0\n");
    auto playAndSignal = [&] {
      setenv("SDL_VIDEODRIVER", "dummy", 1);
      struct Signaller : machine::Observer {
        int signal = SIGTERM;
        void framePresented(int64_t frame, const uint32_t*) override {
          if (frame == 3) std::raise(signal);
        }
      } signaller;
      signaller.signal = headless ? SIGTERM : SIGINT;
      std::vector<std::string> args = {"--scene", "stage1", "--hiscore", file, "NOSOUND"};
      if (headless) args.push_back("--headless");
      std::exit(runGame(args, false, &signaller));
    };
    EXPECT_EXIT(playAndSignal(), testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFileText(file), "hi-score\r\n 0\r\n") << headless;
  }
  fs::remove_all(root);
}
