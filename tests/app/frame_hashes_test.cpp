// --frame-hashes: one "FRAME CRC32" line per listed frame, the fingerprints
// the browser test compares with.
#include <gtest/gtest.h>

#include <sstream>

#include "support/files.h"
#include "support/run_game.h"

namespace {

// The frame numbers of the lines; the hashes go into hashes.
std::vector<std::string> frameNumbers(const std::string& text, std::vector<std::string>* hashes = nullptr) {
  std::vector<std::string> frames;
  std::istringstream lines(text);
  std::string frame, hash;
  while (lines >> frame >> hash) {
    EXPECT_EQ(hash.size(), 8u) << hash;
    frames.push_back(frame);
    if (hashes != nullptr) hashes->push_back(hash);
  }
  return frames;
}

}  // namespace

TEST(FrameHashes, ListedFramesOrAllOfThem) {
  const char* script = "5000 down esc\n5050 up esc\n";
  GameRun listed =
      runBinary("--headless --input input.txt --scene story0 --shot-frames 1,3-4 --frame-hashes h.txt", script);
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_EQ(frameNumbers(readFileText(listed.folder + "/h.txt")), (std::vector<std::string>{"1", "3", "4"}));

  GameRun all = runBinary("--headless --input input.txt --scene story0 --frame-hashes h.txt", script);
  std::vector<std::string> allHashes, listedHashes;
  std::vector<std::string> frames = frameNumbers(readFileText(all.folder + "/h.txt"), &allHashes);
  ASSERT_GT(frames.size(), 100u) << "a story scene shows many frames in five seconds";
  EXPECT_EQ(frames.back(), std::to_string(frames.size()));
  // The listed run fingerprints the same pictures, and the picture changes.
  frameNumbers(readFileText(listed.folder + "/h.txt"), &listedHashes);
  EXPECT_EQ(listedHashes, (std::vector<std::string>{allHashes[0], allHashes[2], allHashes[3]}));
  EXPECT_NE(allHashes.front(), allHashes.back());

  GameRun bad = runBinary("--headless --input input.txt --frame-hashes", script);
  EXPECT_EQ(bad.exitCode, 2);
}
