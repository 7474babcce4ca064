// Only regular files of sane size are read: a named pipe, a folder, an
// endless device or an oversized file is refused at once by every reader.
#include "os/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "support/files.h"

namespace fs = std::filesystem;
using namespace os;

namespace {

class OddFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = makeScratchFolder("odd-files");
    ASSERT_EQ(mkfifo((folder_ + "/pipe").c_str(), 0644), 0);
    fs::create_directory(folder_ + "/folder");
    std::ofstream(folder_ + "/small", std::ios::binary) << "hello";
    std::ofstream(folder_ + "/empty", std::ios::binary);
    // Just over the sample and sheet caps, full of zeros.
    std::ofstream big(folder_ + "/big", std::ios::binary);
    big.seekp((8 << 20), std::ios::beg);
    big.put('\0');
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string at(const char* name) const { return folder_ + "/" + name; }
  std::string folder_;
};

TEST_F(OddFiles, TheReaderTellsEachKindApart) {
  std::vector<uint8_t> bytes;
  EXPECT_EQ(readRegularFile(at("small"), 5, bytes), FileRead::Ok);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "hello");
  EXPECT_EQ(readRegularFile(at("small"), 4, bytes), FileRead::TooBig);
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(readRegularFile(at("empty"), 4, bytes), FileRead::Ok);
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(readRegularFile(at("nothing"), 4, bytes), FileRead::Missing);
  EXPECT_EQ(readRegularFile(at("small/x"), 4, bytes), FileRead::Missing);
  EXPECT_EQ(readRegularFile(at("pipe"), 4, bytes), FileRead::NotRegular);
  EXPECT_EQ(readRegularFile(at("folder"), 4, bytes), FileRead::NotRegular);
  EXPECT_EQ(readRegularFile("/dev/zero", 4, bytes), FileRead::NotRegular);
  std::string text;
  EXPECT_EQ(readRegularFile(at("big"), 8 << 20, text), FileRead::TooBig);
}

TEST_F(OddFiles, TheCapsReadAsTheirSize) {
  EXPECT_EQ(fileReadReason(FileRead::TooBig, 64 << 10), "larger than 64 KB");
  EXPECT_EQ(fileReadReason(FileRead::TooBig, 8 << 20), "larger than 8 MB");
  EXPECT_EQ(whyNotReplaceable(at("pipe"), 64), "it is not a regular file");
  EXPECT_EQ(whyNotReplaceable(at("small"), 4), "it is larger than 4 bytes");
  EXPECT_EQ(whyNotReplaceable(at("new"), 64), "") << "a file yet to be made may be";
}

}  // namespace
