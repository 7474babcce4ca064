// WAV files: 8- and 16-bit PCM, mono and stereo, read to the exact sample;
// anything cut off, damaged or not plain PCM is refused and gives no sound.
#include "formats/wav.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t PCM = 1;
constexpr uint32_t RATE = 22050;

void put16(Bytes& bytes, uint16_t v) {
  bytes.push_back(static_cast<uint8_t>(v));
  bytes.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(Bytes& bytes, uint32_t v) {
  put16(bytes, static_cast<uint16_t>(v));
  put16(bytes, static_cast<uint16_t>(v >> 16));
}

// A RIFF file put together chunk by chunk; the RIFF size is set when taken.
struct WavFile {
  Bytes bytes;

  WavFile() {
    static constexpr char HEADER[] = "RIFF\0\0\0\0WAVE";  // the size is filled in by done()
    bytes.assign(HEADER, HEADER + sizeof HEADER - 1);
  }

  WavFile& chunk(const char* tag, const Bytes& body) {
    bytes.insert(bytes.end(), tag, tag + 4);
    put32(bytes, static_cast<uint32_t>(body.size()));
    bytes.insert(bytes.end(), body.begin(), body.end());
    if (body.size() % 2 == 1) bytes.push_back(0);  // chunks are padded to even sizes
    return *this;
  }
  WavFile& format(uint16_t channels, uint16_t bits, uint32_t rate = RATE, uint16_t code = PCM) {
    Bytes body;
    const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
    put16(body, code);
    put16(body, channels);
    put32(body, rate);
    put32(body, rate * block);
    put16(body, block);
    put16(body, bits);
    return chunk("fmt ", body);
  }
  Bytes done() const {
    Bytes file = bytes;
    const uint32_t riffSize = static_cast<uint32_t>(file.size() - 8);
    for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<uint8_t>(riffSize >> (8 * i));
    return file;
  }
};

Bytes sixteenBit(std::initializer_list<int16_t> samples) {
  Bytes body;
  for (int16_t sample : samples) put16(body, static_cast<uint16_t>(sample));
  return body;
}

WavSound parsed(const Bytes& file) {
  WavSound sound;
  EXPECT_TRUE(parseWav(file.data(), file.size(), sound).ok());
  return sound;
}

// A refused file fails with a reason and leaves the sound empty, even one
// that held a sound before.
void expectRefused(const Bytes& file, const std::string& what) {
  WavSound sound;
  sound.channels = 1;
  sound.samples = {1, 2, 3};
  const Outcome read = parseWav(file.data(), file.size(), sound);
  EXPECT_FALSE(read.ok()) << what;
  EXPECT_FALSE(read.why().empty()) << what;
  EXPECT_TRUE(sound.samples.empty()) << what;
  EXPECT_EQ(sound.channels, 0) << what;
}

}  // namespace

TEST(Wav, SixteenBitSamplesAreReadExactlyMonoAndStereo) {
  WavSound mono = parsed(WavFile().format(1, 16).chunk("data", sixteenBit({0, 1, -1, 32767, -32768, 1234})).done());
  EXPECT_EQ(mono.channels, 1);
  EXPECT_EQ(mono.bitsPerSample, 16);
  EXPECT_EQ(mono.sampleRate, static_cast<int>(RATE));
  EXPECT_EQ(mono.samples, (std::vector<int16_t>{0, 1, -1, 32767, -32768, 1234}));

  WavSound stereo = parsed(WavFile().format(2, 16, 44100).chunk("data", sixteenBit({100, -100, 7, -7})).done());
  EXPECT_EQ(stereo.channels, 2);
  EXPECT_EQ(stereo.sampleRate, 44100);
  EXPECT_EQ(stereo.samples, (std::vector<int16_t>{100, -100, 7, -7})) << "interleaved, left first";
}

TEST(Wav, EightBitSamplesLoseTheirBiasOf128AndWidenToSixteenBits) {
  WavSound mono = parsed(WavFile().format(1, 8).chunk("data", {0, 1, 127, 128, 129, 255}).done());
  EXPECT_EQ(mono.bitsPerSample, 8);
  EXPECT_EQ(mono.samples, (std::vector<int16_t>{-32768, -32512, -256, 0, 256, 32512}));

  WavSound stereo = parsed(WavFile().format(2, 8).chunk("data", {0, 255, 128, 64}).done());
  EXPECT_EQ(stereo.channels, 2);
  EXPECT_EQ(stereo.samples, (std::vector<int16_t>{-32768, 32512, 0, -16384}));
}

TEST(Wav, OtherChunksAreSkippedWhereverTheyAre) {
  const Bytes data = sixteenBit({5, 6});
  WavSound sound = parsed(WavFile()
                              .chunk("LIST", {1, 2, 3})  // odd size: padded
                              .format(1, 16)
                              .chunk("fact", {9, 9, 9, 9})
                              .chunk("data", data)
                              .done());
  EXPECT_EQ(sound.samples, (std::vector<int16_t>{5, 6}));
  // Bytes after the RIFF chunk (a tag some editors append) are not part of it.
  Bytes trailed = WavFile().format(1, 16).chunk("data", data).done();
  trailed.insert(trailed.end(), {'I', 'D', '3', 0});
  EXPECT_EQ(parsed(trailed).samples, (std::vector<int16_t>{5, 6}));
}

TEST(Wav, DamagedOrUnusualFilesAreRefused) {
  const Bytes samples = sixteenBit({1, 2, 3, 4});
  const Bytes good = WavFile().format(1, 16).chunk("data", samples).done();
  ASSERT_EQ(parsed(good).samples.size(), 4u);

  expectRefused({}, "empty");
  for (size_t size = 1; size < good.size(); ++size)
    expectRefused(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)),
                  "cut to " + std::to_string(size));
  Bytes notRiff = good;
  notRiff[0] = 'X';
  expectRefused(notRiff, "not RIFF");
  Bytes notWave = good;
  notWave[8] = 'X';
  expectRefused(notWave, "not WAVE");

  expectRefused(WavFile().format(1, 16, RATE, 3).chunk("data", samples).done(), "floating point");
  expectRefused(WavFile().format(0, 16).chunk("data", samples).done(), "no channels");
  expectRefused(WavFile().format(3, 16).chunk("data", sixteenBit({1, 2, 3})).done(), "three channels");
  for (uint16_t bits : {4, 12, 24, 32})
    expectRefused(WavFile().format(1, bits).chunk("data", samples).done(), std::to_string(bits) + "-bit");
  Bytes badBlock = WavFile().format(2, 16).chunk("data", samples).done();
  badBlock[12 + 8 + 12] = 2;  // block align of mono in a stereo file
  expectRefused(badBlock, "block align not channels times bytes");
  expectRefused(WavFile().chunk("fmt ", {1, 0, 1, 0}).chunk("data", samples).done(), "format chunk too short");

  expectRefused(WavFile().format(1, 16).done(), "no data chunk");
  expectRefused(WavFile().chunk("data", samples).format(1, 16).done(), "data before the format");
  expectRefused(WavFile().format(1, 16).chunk("data", {}).done(), "empty data");
  expectRefused(WavFile().format(1, 16).chunk("data", {1, 2, 3}).done(), "half a 16-bit sample");
  expectRefused(WavFile().format(2, 16).chunk("data", sixteenBit({1, 2, 3})).done(), "half a stereo frame");
  Bytes longData = good;
  longData[40] = 0xFF;  // the data chunk's size beyond the file
  expectRefused(longData, "data longer than the file");
  Bytes shortRiff = good;
  shortRiff[4] = static_cast<uint8_t>(shortRiff[4] - 2);  // the RIFF chunk ends inside the data
  expectRefused(shortRiff, "data beyond the RIFF chunk");
}
