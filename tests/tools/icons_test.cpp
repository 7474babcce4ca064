// make_icons: the committed icons are exactly what the tool draws from the
// committed sprite sheet, one PNG per size.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "support/files.h"

namespace {
uint32_t bigEndian32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}
}  // namespace

TEST(IconTool, CommittedIconsAreWhatTheSheetDraws) {
  std::string folder = makeScratchFolder("icons");
  std::string command =
      std::string(QUARVEL_BUILD_DIR) + "/make_icons " + QUARVEL_SOURCE_DIR + "/data/graphics/graphics.bmp " + folder;
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (int size : {16, 32, 48, 64, 128, 256}) {
    std::string name = "/quarvel-" + std::to_string(size) + ".png";
    std::string built = readFileText(folder + name);
    ASSERT_GT(built.size(), 33u);
    EXPECT_EQ(built.substr(1, 3), "PNG");
    EXPECT_EQ(bigEndian32(built, 16), static_cast<uint32_t>(size));  // IHDR width
    EXPECT_EQ(bigEndian32(built, 20), static_cast<uint32_t>(size));  // and height
    EXPECT_TRUE(built == readFileText(std::string(QUARVEL_SOURCE_DIR) + "/dist/icons" + name))
        << "dist/icons" << name << " is stale: run make_icons data/graphics/graphics.bmp dist/icons";
  }
  std::string bad = std::string(QUARVEL_BUILD_DIR) + "/make_icons /no/sheet.bmp " + folder + " 2>/dev/null";
  int status = std::system(bad.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
  std::filesystem::remove_all(folder);
}
