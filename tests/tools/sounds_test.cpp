// The committed samples are exactly what the generator makes, and each one is
// a clean, short, 16-bit mono PCM file that leaves headroom and starts and
// ends in silence. Also the WAV checker that decides whether a sample loads.
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

// --- the checker -------------------------------------------------------------

std::vector<uint8_t> bytesOf(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

bool parses(const std::vector<uint8_t>& bytes) {
  WavSound sound;
  return parseWav(bytes.data(), bytes.size(), sound).ok();
}

void putU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(WavChecker, ReadsGoodFilesAndRefusesDamagedOnes) {
  const std::vector<uint8_t> good = bytesOf(readFileText(samplePath(committedFolder, 3)));
  ASSERT_TRUE(parses(good));
  // Layout of our files: RIFF header 12 bytes, "fmt " chunk at 12, "data" at 36.
  ASSERT_EQ(std::string(good.begin() + 36, good.begin() + 40), "data");

  EXPECT_FALSE(parses({}));
  EXPECT_FALSE(parses(std::vector<uint8_t>(good.begin(), good.begin() + 30)));  // cut in the header
  EXPECT_FALSE(parses(std::vector<uint8_t>(good.begin(), good.end() - 100)));   // cut in the data
  EXPECT_FALSE(parses(std::vector<uint8_t>(good.begin(), good.begin() + 44)));  // header only

  std::vector<uint8_t> bad = good;
  bad[0] = 'X';  // not RIFF
  EXPECT_FALSE(parses(bad));
  bad = good;
  bad[20] = 3;  // floating-point samples, not PCM
  EXPECT_FALSE(parses(bad));
  bad = good;
  bad[22] = 0;  // no channels
  EXPECT_FALSE(parses(bad));
  bad = good;
  bad[34] = 12;  // 12-bit samples
  EXPECT_FALSE(parses(bad));
  bad = good;
  putU32(bad, 40, 0);  // an empty data chunk
  EXPECT_FALSE(parses(bad));
  bad = good;
  putU32(bad, 40, static_cast<uint32_t>(good.size()));  // data longer than the file
  EXPECT_FALSE(parses(bad));
  bad = good;
  bad[36] = 'x';  // the data chunk's tag damaged: nothing to play
  EXPECT_FALSE(parses(bad));
}

TEST(WavChecker, SkipsUnknownChunksAndWidensEightBitSamples) {
  std::vector<uint8_t> bytes = bytesOf(std::string("RIFF\0\0\0\0WAVE", 12));
  auto chunk = [&bytes](const char* tag, std::vector<uint8_t> body) {
    bytes.insert(bytes.end(), tag, tag + 4);
    uint32_t size = static_cast<uint32_t>(body.size());
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(size >> (8 * i)));
    bytes.insert(bytes.end(), body.begin(), body.end());
    if (size % 2 == 1) bytes.push_back(0);
  };
  chunk("LIST", {1, 2, 3});                                                     // odd size: padded
  chunk("fmt ", {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x22, 0x56, 0, 0, 1, 0, 8, 0});  // 22050 Hz, 8-bit mono
  chunk("data", {128, 255, 0});
  putU32(bytes, 4, static_cast<uint32_t>(bytes.size() - 8));
  WavSound sound;
  ASSERT_TRUE(parseWav(bytes.data(), bytes.size(), sound).ok());
  EXPECT_EQ(sound.sampleRate, 22050);
  EXPECT_EQ(sound.bitsPerSample, 8);
  EXPECT_EQ(sound.samples, (std::vector<int16_t>{0, 127 * 256, -128 * 256}));
  EXPECT_FALSE(readWav(committedFolder + "/missing.WAV", sound));
}

}  // namespace
