// The high-score file's handling: read-only files and folders, symlinks,
// files that are not high-score files, a full disk and a kill in the middle
// of a save. Whatever happens the stored high score is the old one or the
// new one, and a problem is told once on stderr.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "game/game.h"
#include "game/hiscore.h"
#include "os/files.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

const std::string STORED = "hi-score\r\n 54321\r\n";

class HighScoreStorageTest : public ::testing::Test {
 protected:
  Game game;  // a fresh game: its high score in hiscore.txt of the working directory
  void SetUp() override {
    previous_ = fs::current_path();
    folder_ = makeScratchFolder("hiscore-storage");
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    chmod(folder_.c_str(), 0755);
    fs::remove_all(folder_);
  }
  static void write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // Loads, then saves value as a stage end would; returns what was loaded and
  // everything written on stderr meanwhile.
  int32_t loadAndSave(int32_t value, std::string& err) {
    ::testing::internal::CaptureStderr();
    int32_t loaded = loadHighScore(game);
    saveHighScore(game, value);
    saveHighScore(game, value + 1);
    err = ::testing::internal::GetCapturedStderr();
    return loaded;
  }
  static int lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }
  fs::path previous_;
  std::string folder_;
};

TEST_F(HighScoreStorageTest, AReadOnlyFileIsShownAndNeverReplaced) {
  write("hiscore.txt", STORED);
  chmod("hiscore.txt", 0444);
  std::string err;
  EXPECT_EQ(loadAndSave(99999, err), 54321);
  EXPECT_EQ(readFileText("hiscore.txt"), STORED);
  EXPECT_EQ(fs::status("hiscore.txt").permissions() & fs::perms::all, fs::perms(0444));
  EXPECT_EQ(lines(err), 1) << err;
  EXPECT_NE(err.find("read-only"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists("hiscore.txt.new"));
}

TEST_F(HighScoreStorageTest, AReadOnlyFolderShowsTheValueAndSavesNothing) {
  write("hiscore.txt", STORED);
  chmod(folder_.c_str(), 0555);
  std::string err;
  EXPECT_EQ(loadAndSave(99999, err), 54321);
  EXPECT_EQ(readFileText("hiscore.txt"), STORED);
  EXPECT_EQ(lines(err), 1) << err;
  EXPECT_NE(err.find("folder is read-only"), std::string::npos) << err;
  fs::remove("hiscore.txt");  // nothing there: 1000, and one warning that it cannot be created
  EXPECT_EQ(loadAndSave(5, err), 1000);
  EXPECT_FALSE(fs::exists("hiscore.txt"));
  EXPECT_EQ(lines(err), 1) << err;
}

TEST_F(HighScoreStorageTest, ASymlinkIsFollowedAndStaysALink) {
  fs::create_directory("real");
  write("real/best.txt", STORED);
  chmod("real/best.txt", 0600);
  fs::create_symlink("real/best.txt", "hiscore.txt");
  std::string err;
  EXPECT_EQ(loadAndSave(60000, err), 54321);
  EXPECT_EQ(err, "");
  EXPECT_TRUE(fs::is_symlink("hiscore.txt"));
  EXPECT_EQ(readFileText("real/best.txt"), "hi-score\r\n 60001\r\n");
  EXPECT_EQ(fs::status("real/best.txt").permissions() & fs::perms::all, fs::perms(0600)) << "permissions kept";
  EXPECT_FALSE(fs::exists("real/best.txt.new"));
  fs::remove("real/best.txt");  // a dangling link: its target is created
  EXPECT_EQ(loadAndSave(7, err), 1000);
  EXPECT_TRUE(fs::is_symlink("hiscore.txt"));
  EXPECT_EQ(readFileText("real/best.txt"), "hi-score\r\n 8\r\n");
}

TEST_F(HighScoreStorageTest, WhatIsNotAHighScoreFileCountsAsThousandAndIsKept) {
  struct Case {
    const char* name;
    void (*make)();
  } cases[] = {
      {"a named pipe", [] { ASSERT_EQ(mkfifo("hiscore.txt", 0644), 0); }},
      {"a folder", [] { fs::create_directory("hiscore.txt"); }},
      {"a device", [] { fs::create_symlink("/dev/zero", "hiscore.txt"); }},
      {"over the size cap", [] { write("hiscore.txt", "hi-score\r\n 5" + std::string(70000, '0') + "\r\n"); }},
  };
  for (const Case& c : cases) {
    c.make();
    auto before = fs::symlink_status("hiscore.txt").type();
    std::string err;
    EXPECT_EQ(loadAndSave(99999, err), 1000) << c.name;
    EXPECT_EQ(lines(err), 1) << c.name << ": " << err;
    EXPECT_NE(err.find("hiscore.txt"), std::string::npos) << err;
    EXPECT_EQ(fs::symlink_status("hiscore.txt").type(), before) << c.name;
    fs::remove_all("hiscore.txt");
  }
}

// Reads the file after a child process saved 777 over 4321 and stopped dead
// right after step `stopAfter` of the save.
std::string fileAfterAKill(Game& game, int stopAfter) {
  std::ofstream("hiscore.txt", std::ios::binary) << "hi-score\r\n 4321\r\n";
  static int stopStep;
  stopStep = stopAfter;
  pid_t child = fork();
  if (child == 0) {
    game.highScoreStorage.replaceStepHook = [](int step) {
      if (step == stopStep) _exit(0);
      return true;
    };
    saveHighScore(game, 777);
    _exit(1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save reached step " << stopAfter;
  return readFileText("hiscore.txt");
}

TEST_F(HighScoreStorageTest, AKillBetweenAnyTwoStepsLeavesTheOldOrTheNewValue) {
  for (int step = 1; step <= 4; ++step)
    EXPECT_EQ(fileAfterAKill(game, step), "hi-score\r\n 4321\r\n") << "killed after step " << step;
  for (int step = 5; step <= 6; ++step)
    EXPECT_EQ(fileAfterAKill(game, step), "hi-score\r\n 777\r\n") << "killed after step " << step;
  // The next save tidies a temporary file left behind.
  fileAfterAKill(game, 2);
  EXPECT_TRUE(fs::exists("hiscore.txt.new"));
  saveHighScore(game, 778);
  EXPECT_EQ(readFileText("hiscore.txt"), "hi-score\r\n 778\r\n");
  EXPECT_FALSE(fs::exists("hiscore.txt.new"));
}

TEST_F(HighScoreStorageTest, AFailedStepKeepsTheOldFileAndSaysSoOnce) {
  for (int failing = 1; failing <= 4; ++failing) {
    write("hiscore.txt", STORED);
    static int failStep;
    failStep = failing;
    game.highScoreStorage.replaceStepHook = [](int step) { return step != failStep; };
    std::string err;
    EXPECT_EQ(loadAndSave(99999, err), 54321);
    EXPECT_EQ(readFileText("hiscore.txt"), STORED) << "step " << failing;
    EXPECT_EQ(lines(err), 1) << err;
    EXPECT_FALSE(fs::exists("hiscore.txt.new")) << "step " << failing;
  }
}

// A tmpfs of a few KB, filled up: the real thing where mounting is allowed
// (root on a normal machine); elsewhere the step test above stands in.
TEST_F(HighScoreStorageTest, AFullDiskKeepsTheOldFileAndCreatesNoEmptyOne) {
  fs::create_directory("disk");
  if (mount("tmpfs", "disk", "tmpfs", 0, "size=16k") != 0) GTEST_SKIP() << "cannot mount a tmpfs here";
  fs::current_path("disk");
  auto fill = [] {
    std::ofstream filler("filler", std::ios::binary);
    std::string block(4096, 'x');
    for (int i = 0; i < 16 && filler; ++i) filler << block;
  };
  fill();  // full before the first start: no 0-byte file may appear
  std::string err;
  EXPECT_EQ(loadAndSave(5, err), 1000);
  EXPECT_FALSE(fs::exists("hiscore.txt"));
  EXPECT_EQ(lines(err), 1) << err;
  fs::remove("filler");
  write("hiscore.txt", STORED);
  fill();
  EXPECT_EQ(loadAndSave(99999, err), 54321);
  EXPECT_EQ(readFileText("hiscore.txt"), STORED);
  EXPECT_FALSE(fs::exists("hiscore.txt.new"));
  EXPECT_EQ(lines(err), 1) << err;
  fs::current_path(folder_);
  umount2((folder_ + "/disk").c_str(), MNT_DETACH);
}

}  // namespace
