// Loading the sprite sheet's kind of file into an image: only a readable
// BMP of the image's own size is taken; anything else fails with a reason
// and leaves the image as it was.
#include <gtest/gtest.h>

#include "formats/bmp.h"
#include "machine/machine.h"
#include "support/machine_session.h"

namespace {

bool untouched(const Image* image) {
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x)
      if (imageRow(image, y)[x] != NEW_IMAGE_FILL) return false;
  return true;
}

void writeBmp(const std::string& path, int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0x123456);
  std::vector<uint8_t> bmp = encodeBmp(pixels.data(), width, height, width);
  writeFile(path, std::string(bmp.begin(), bmp.end()));
}

}  // namespace

TEST(LoadBitmap, TakesAFileOfTheImagesSizeAndRefusesEverythingElse) {
  MachineSession session;
  writeBmp("good.bmp", 4, 3);
  OwnedImage image = createImage(4, 3);
  ASSERT_TRUE(loadBitmap("good.bmp", image.get()).ok());
  EXPECT_EQ(imageRow(image.get(), 2)[3], 0xFF123456u);

  writeBmp("wide.bmp", 5, 3);
  writeFile("cut.bmp", readFileText("good.bmp").substr(0, 60));
  writeFile("text.bmp", "hello, world, this is not a picture at all, not at all, no");
  for (const char* name : {"wide.bmp", "cut.bmp", "text.bmp", "missing.bmp", "."}) {
    OwnedImage fresh = createImage(4, 3);
    Outcome loaded = loadBitmap(name, fresh.get());
    EXPECT_FALSE(loaded.ok()) << name;
    EXPECT_FALSE(loaded.why().empty()) << name;
    EXPECT_TRUE(untouched(fresh.get())) << name;
  }
  OwnedImage fresh = createImage(4, 3);
  EXPECT_NE(loadBitmap("wide.bmp", fresh.get()).why().find("5x3, not 4x3"), std::string::npos);
}
