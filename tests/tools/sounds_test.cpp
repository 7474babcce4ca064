// The committed samples are exactly what the generator makes, and each one is
// a clean, short, 16-bit mono PCM file that leaves headroom and starts and
// ends in silence.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/wav.h"
#include "support/files.h"

namespace {

bool readWav(const std::string& path, WavSound& sound) {
  const std::string file = readFileText(path);
  return parseWav(reinterpret_cast<const uint8_t*>(file.data()), file.size(), sound).ok();
}

const std::string committedFolder = std::string(QUARVEL_SOURCE_DIR) + "/data/WAV";

std::string samplePath(const std::string& folder, int n) { return folder + "/" + std::to_string(n) + ".WAV"; }

TEST(Samples, CommittedFilesEqualTheGeneratorsOutput) {
  std::string scratch = makeScratchFolder("sounds");
  std::string command = std::string(QUARVEL_BUILD_DIR) + "/make_sounds " + scratch;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (int n = 0; n < 9; ++n) {
    std::string made = readFileText(samplePath(scratch, n));
    std::string committed = readFileText(samplePath(committedFolder, n));
    ASSERT_FALSE(made.empty()) << n;
    EXPECT_TRUE(made == committed) << "WAV/" << n << ".WAV differs from the generator's output";
  }
  std::string again = makeScratchFolder("sounds");
  ASSERT_EQ(std::system((std::string(QUARVEL_BUILD_DIR) + "/make_sounds " + again).c_str()), 0);
  EXPECT_EQ(readFileText(samplePath(again, 8)), readFileText(samplePath(scratch, 8)));
  std::filesystem::remove_all(scratch);
  std::filesystem::remove_all(again);
}

TEST(Samples, EachIsShortCleanMonoPcmWithHeadroom) {
  const int peakLimit = 29204;  // -1 dBFS of 32767
  const int nearZero = 64;
  for (int n = 0; n < 9; ++n) {
    SCOPED_TRACE("WAV/" + std::to_string(n) + ".WAV");
    WavSound sound;
    ASSERT_TRUE(readWav(samplePath(committedFolder, n), sound));
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.bitsPerSample, 16);
    EXPECT_TRUE(sound.sampleRate == 44100 || sound.sampleRate == 22050);
    ASSERT_GT(sound.samples.size(), 100u);
    EXPECT_LT(sound.samples.size(), static_cast<size_t>(2 * sound.sampleRate));
    int peak = 0;
    for (int16_t v : sound.samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_LE(peak, peakLimit);
    EXPECT_GT(peak, 3000);  // not silent
    EXPECT_LE(std::abs(sound.samples.front()), nearZero);
    EXPECT_LE(std::abs(sound.samples.back()), nearZero);
  }
}

TEST(Samples, SirenIsAboutASecondAndAHalfAndTheMarchNotesAreShort) {
  WavSound siren, note;
  ASSERT_TRUE(readWav(samplePath(committedFolder, 8), siren));
  double sirenSeconds = static_cast<double>(siren.samples.size()) / siren.sampleRate;
  EXPECT_GE(sirenSeconds, 1.3);
  EXPECT_LE(sirenSeconds, 1.7);
  for (int n = 4; n <= 7; ++n) {
    ASSERT_TRUE(readWav(samplePath(committedFolder, n), note));
    EXPECT_LE(static_cast<double>(note.samples.size()) / note.sampleRate, 0.3) << n;
  }
}

}  // namespace
