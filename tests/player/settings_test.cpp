// quarvel.ini: good, missing and malformed files, writing back one value,
// and the command line over the file.
#include "app/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/command_line.h"
#include "app/player_files.h"
#include "app/run_files.h"
#include "support/files.h"
#include "support/player_support.h"

namespace fs = std::filesystem;

TEST(SettingsFile, EveryKeyReadsAndBadLinesAreReportedAndSkipped) {
  Settings settings;
  std::vector<std::string> problems;
  parseSettings(
      "# Quarvel\n"
      "fullscreen = yes\n"
      "scale=5\n"
      "  vsync = on   ; comment\n"
      "volume = 40\n"
      "sound = off\n"
      "pause_on_focus_loss = true\n"
      "key_fire = x\n"
      "key_left = right\n"
      "key_right = left\n"
      "\n"
      "scale = 9\n"           // 12: out of range, 5 stays
      "volume = -1\n"         // 13
      "colour = blue\n"       // 14
      "key_jump = j\n"        // 15
      "key_drop = f12\n"      // 16
      "just words\n"          // 17
      "vsync = maybe\n"       // 18
      "pad_drop = trigger\n"  // 19
      "pad_jump = a\n"        // 20
      "reduce_flashing = yes\n"
      "auto_fire = sometimes\n"  // 22
      "auto_fire = on\n"
      "pad_fire = X\n"
      "pad_no = none\n",
      "q.ini", settings, problems);
  EXPECT_TRUE(settings.fullScreenGiven);
  EXPECT_TRUE(settings.fullScreen);
  EXPECT_EQ(settings.scale, 5);
  EXPECT_TRUE(settings.vsync);
  EXPECT_EQ(settings.volume, 40);
  EXPECT_FALSE(settings.sound);
  EXPECT_TRUE(settings.pauseOnFocusLoss);
  EXPECT_EQ(settings.keys[ActionFire], "x");
  EXPECT_EQ(settings.keys[ActionLeft], "right");
  EXPECT_EQ(settings.keys[ActionDrop], "");
  EXPECT_TRUE(settings.reduceFlashing);
  EXPECT_TRUE(settings.autoFire);
  EXPECT_EQ(padNameOf(settings, ActionFire), "x");
  EXPECT_EQ(padNameOf(settings, ActionNo), "none");
  EXPECT_EQ(padNameOf(settings, ActionDrop), "b") << "the default stands";
  ASSERT_EQ(problems.size(), 10u);
  const char* lines[] = {"q.ini:12: scale",
                         "q.ini:13: volume",
                         "q.ini:14: unknown setting 'colour'",
                         "q.ini:15: unknown action 'jump'",
                         "q.ini:16: unknown key name 'f12'",
                         "q.ini:17: expected",
                         "q.ini:18: vsync",
                         "q.ini:19: unknown controller button 'trigger'",
                         "q.ini:20: unknown action 'jump'",
                         "q.ini:22: auto_fire"};
  for (size_t i = 0; i < problems.size(); ++i) EXPECT_EQ(problems[i].rfind(lines[i], 0), 0u) << problems[i];

  Settings defaults;
  problems.clear();
  EXPECT_FALSE(loadSettingsFile("/no/such/quarvel.ini", defaults, problems));
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(defaults.scale, 3);
  EXPECT_EQ(defaults.volume, 100);
  EXPECT_FALSE(defaults.vsync);
  EXPECT_FALSE(defaults.reduceFlashing);
  EXPECT_FALSE(defaults.autoFire);
}

TEST(SettingsFile, SavingOneValueKeepsTheOtherLinesAndCreatesTheFolder) {
  std::string folder = makeScratchFolder("ini");
  std::string path = folder + "/config/quarvel/quarvel.ini";
  ASSERT_TRUE(saveSetting(path, "volume", "70").ok());
  EXPECT_EQ(readFileText(path), "volume = 70\n");
  writeFile(path, "# mine\nscale = 2\nvolume = 70  # loud\nsound = on\n");
  ASSERT_TRUE(saveSetting(path, "volume", "35").ok());
  EXPECT_EQ(readFileText(path), "# mine\nscale = 2\nvolume = 35\nsound = on\n");
  EXPECT_FALSE(fs::exists(path + ".new"));
  fs::remove_all(folder);
}

// A named pipe, a folder or an oversized file in place of quarvel.ini is one
// problem line and the defaults; it is never waited on, read or rewritten.
TEST(SettingsFile, WhatIsNoSettingsFileIsReportedAndLeftAlone) {
  std::string folder = makeScratchFolder("odd-ini");
  const std::string pipe = folder + "/pipe.ini", dir = folder + "/dir.ini", big = folder + "/big.ini";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  fs::create_directory(dir);
  writeFile(big, "scale = 2\n" + std::string(70000, '#') + "\n");
  for (const std::string& path : {pipe, dir, big}) {
    Settings settings;
    std::vector<std::string> problems;
    EXPECT_FALSE(loadSettingsFile(path, settings, problems)) << path;
    ASSERT_EQ(problems.size(), 1u) << path;
    EXPECT_EQ(problems[0].rfind(path + ": ", 0), 0u) << problems[0];
    EXPECT_EQ(settings.scale, 3) << path;
    EXPECT_FALSE(saveSetting(path, "volume", "50").ok()) << path;
  }
  EXPECT_EQ(fs::file_size(big), 70011u);
  fs::remove_all(folder);
}

TEST(SettingsFile, TheCommandLineWinsOverTheFile) {
  std::string folder = makeScratchFolder("override");
  writeFile(folder + "/q.ini", "scale = 2\nvolume = 50\nfullscreen = yes\n");
  RunOptions options;
  ASSERT_EQ(parseCommandLine({"--config", folder + "/q.ini", "--scale", "6", "--window", "--no-sound"}, options),
            CommandLine::Run);
  ASSERT_TRUE(applySettings(options).ok());
  EXPECT_EQ(options.settings.scale, 6);
  EXPECT_EQ(options.settings.volume, 50);
  EXPECT_FALSE(options.fullScreen);
  EXPECT_FALSE(options.soundWanted);

  RunOptions fromFile;
  ASSERT_EQ(parseCommandLine({"--config=" + folder + "/q.ini", "--volume=0"}, fromFile), CommandLine::Run);
  ASSERT_TRUE(applySettings(fromFile).ok());
  EXPECT_TRUE(fromFile.fullScreen);
  EXPECT_EQ(fromFile.settings.volume, 0);
  for (const char* bad :
       {"--scale", "--scale 0", "--scale 9", "--volume 101", "--config", "--window=yes", "--scale="}) {
    RunOptions rejected;
    std::vector<std::string> args;
    std::string text = bad;
    args.push_back(text.substr(0, text.find(' ')));
    if (text.find(' ') != std::string::npos) args.push_back(text.substr(text.find(' ') + 1));
    testing::internal::CaptureStderr();
    EXPECT_EQ(parseCommandLine(args, rejected), CommandLine::Bad) << bad;
    testing::internal::GetCapturedStderr();
  }
  fs::remove_all(folder);
}

// The window build reads the user's quarvel.ini; a bad line is reported and
// the game still starts; a headless run does not read it at all.
TEST(SettingsFile, TheGameStartsDespiteBadLinesAndHeadlessIgnoresTheUserFile) {
  std::string folder = makeScratchFolder("badini");
  copyGameData(folder);
  writeFile(folder + "/in.txt", "100 down esc\n");
  writeFile(folder + "/home/config/quarvel/quarvel.ini", "scale = 1\nwobble = 3\nsound = off\n");
  GameRun window = runIn(folder, builtBinary("quarvel-win"), "--input in.txt");
  EXPECT_EQ(window.exitCode, 0);
  EXPECT_EQ(window.err, "quarvel-win: " + folder + "/home/config/quarvel/quarvel.ini:2: unknown setting 'wobble'\n");
  EXPECT_EQ(window.out, "") << "sound = off: the mixer never started";
  GameRun headless = runIn(folder, builtBinary("quarvel-win"), "--headless --input in.txt");
  EXPECT_EQ(headless.exitCode, 0);
  EXPECT_EQ(headless.err, "");
  EXPECT_EQ(headless.out, "FMOD CLOSED\n");
  GameRun named =
      runIn(folder, builtBinary("quarvel-win"), "--headless --input in.txt --config home/config/quarvel/quarvel.ini");
  EXPECT_EQ(named.err, "quarvel-win: home/config/quarvel/quarvel.ini:2: unknown setting 'wobble'\n");
  EXPECT_EQ(named.out, "");
  fs::remove_all(folder);
}

TEST(CommandLine, HelpListsControlsAndFilesAndVersionPrintsOne) {
  std::string help = commandLineHelp(false);
  for (const char* word :
       {"--fullscreen", "--window", "--scale", "--volume", "--no-sound", "--config", "--data", "--hiscore", "--version",
        "Controls", "F12", "Back/Select", "quarvel.ini", "hiscore.txt", "key_drop = z"})
    EXPECT_NE(help.find(word), std::string::npos) << word;
  std::string folder = makeScratchFolder("version");
  GameRun run = runIn(folder, builtBinary("quarvel"), "--version");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out.rfind("quarvel ", 0), 0u);
  run = runIn(folder, builtBinary("quarvel-win"), "--version");
  EXPECT_EQ(run.out.rfind("quarvel-win ", 0), 0u) << "named as it was started";
  EXPECT_NE(commandLineHelp(true).find("fullscreen = yes"), std::string::npos) << "quarvel's own default";
  EXPECT_NE(commandLineHelp(false).find("fullscreen = no"), std::string::npos);
  fs::remove_all(folder);
}

// With close_button = quit the close button (and Alt+F4) ends the game as
// Ctrl+C does: a reached high score saved, exit 0. Left as it always was,
// it is a key no scene reads, and the game plays on.
TEST(SettingsFile, CloseButtonQuitEndsTheGameAndSavesIgnoreDoesNothing) {
  std::string folder = makeScratchFolder("close");
  copyGameData(folder);
  // Stage one starts at 0 = the high score: reached, so a quit saves it, and
  // the LF-only file comes back CR LF.
  writeFile(folder + "/in.txt", "10 down space\n20 up space\n3000 close\n");
  for (const char* choice : {"quit", "ignore", "QUIT"}) {
    const bool quits = std::string(choice) != "ignore";
    writeFile(folder + "/hiscore.txt", "hi-score\n 0\n");
    writeFile(folder + "/q.ini", std::string("close_button = ") + choice + "\n");
    GameRun run = runIn(folder, builtBinary("quarvel-win"),
                        "--headless --input in.txt --config q.ini --max-ms 8000 --frame-stats NOSOUND");
    EXPECT_EQ(run.exitCode, quits ? 0 : 3) << choice << ": " << run.err;
    EXPECT_EQ(readFileText(folder + "/hiscore.txt"), quits ? "hi-score\r\n 0\r\n" : "hi-score\n 0\n") << choice;
    EXPECT_NE(run.out.find("frame pacing: "), std::string::npos) << "however the run ends: " << run.out;
  }
  fs::remove_all(folder);
}
