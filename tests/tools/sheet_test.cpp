// make_sheet: the committed sheet is exactly what the text picture builds, the
// bitmap reads back pixel for pixel, and bad pictures are refused with the
// line that is wrong.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "support/files.h"

namespace {

const std::string SHEET_TEXT = std::string(QUARVEL_SOURCE_DIR) + "/tools/graphics.txt";
const std::string SHEET_BMP = std::string(QUARVEL_SOURCE_DIR) + "/data/graphics/graphics.bmp";

struct ToolRun {
  int exitCode;
  std::string errors;
};

ToolRun runMakeSheet(const std::string& arguments, const std::string& folder) {
  std::string errorPath = folder + "/errors.txt";
  std::string command = std::string(QUARVEL_BUILD_DIR) + "/make_sheet " + arguments + " 2> " + errorPath;
  int status = std::system(command.c_str());
  int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return ToolRun{exitCode, readFileText(errorPath)};
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::vector<std::string> readLines(const std::string& path) {
  std::istringstream in(readFileText(path));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string joinLines(const std::vector<std::string>& lines, const std::string& ending = "\n") {
  std::string text;
  for (const std::string& line : lines) text += line + ending;
  return text;
}

// Index of the line holding pixel row n (a line of 128 characters) of the picture.
size_t pixelRowLine(const std::vector<std::string>& lines, int n = 0) {
  for (size_t i = 0; i < lines.size(); i++)
    if (lines[i].size() == 128 && lines[i][0] != ';' && n-- == 0) return i;
  return lines.size();
}

class SheetTool : public ::testing::Test {
 protected:
  void SetUp() override { folder = makeScratchFolder("sheet"); }
  void TearDown() override { std::filesystem::remove_all(folder); }
  // Runs the tool on a picture text; the output goes to out.bmp in the folder.
  ToolRun build(const std::string& text) {
    writeFile(folder + "/in.txt", text);
    return runMakeSheet(folder + "/in.txt " + folder + "/out.bmp", folder);
  }
  std::string folder;
};

TEST_F(SheetTool, CommittedBitmapIsExactlyWhatThePictureBuilds) {
  ToolRun run = runMakeSheet(SHEET_TEXT + " " + folder + "/graphics.bmp", folder);
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  std::string built = readFileText(folder + "/graphics.bmp");
  ASSERT_EQ(built.size(), 54u + 128u * 64u * 3u);
  EXPECT_TRUE(built == readFileText(SHEET_BMP))
      << "data/graphics/graphics.bmp is stale: run make_sheet tools/graphics.txt data/graphics/graphics.bmp";
}

TEST_F(SheetTool, BitmapHeaderIsAPlainBottomUp24BitWindowsBitmap) {
  std::string bmp = readFileText(SHEET_BMP);
  ASSERT_GE(bmp.size(), 54u);
  auto word = [&](size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; i--) value = value * 256 + static_cast<uint8_t>(bmp[at + i]);
    return value;
  };
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(word(2, 4), bmp.size());
  EXPECT_EQ(word(10, 4), 54u);   // pixels right after the headers
  EXPECT_EQ(word(14, 4), 40u);   // info header
  EXPECT_EQ(word(18, 4), 128u);  // width
  EXPECT_EQ(word(22, 4), 64u);   // positive height: bottom-up
  EXPECT_EQ(word(28, 2), 24u);
  EXPECT_EQ(word(30, 4), 0u);  // uncompressed
}

// Every pixel of the loaded sheet has the colour its character names in the
// text picture: rows are not flipped and colours not swapped on the way.
TEST_F(SheetTool, LoadedSheetMatchesThePicturePixelForPixel) {
  std::vector<std::string> lines = readLines(SHEET_TEXT);
  std::map<char, uint32_t> palette;
  size_t first = pixelRowLine(lines);
  for (size_t i = 0; i < first; i++) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == ';') continue;
    palette[line[0]] = static_cast<uint32_t>(std::stoul(line.substr(line.find('=') + 1), nullptr, 16));
  }
  ASSERT_GE(palette.size(), 2u);
  OwnedImage owned = createImage(128, 64);
  const Image* sheet = owned.get();
  ASSERT_TRUE(loadBitmap(SHEET_BMP, owned.get()).ok());
  int y = 0;
  for (size_t i = first; i < lines.size() && y < 64; i++) {
    if (lines[i].empty() || lines[i][0] == ';') continue;
    for (int x = 0; x < 128; x++) {
      ASSERT_EQ(imageRow(sheet, y)[x] & 0xFFFFFF, palette.at(lines[i][x])) << "pixel " << x << "," << y;
    }
    y++;
  }
  EXPECT_EQ(y, 64);
}

TEST_F(SheetTool, EditorLineEndsBlanksAndByteOrderMarkBuildTheSameBitmap) {
  std::vector<std::string> lines = readLines(SHEET_TEXT);
  for (std::string& line : lines) line += "  \t";
  ToolRun run = build("\xEF\xBB\xBF" + joinLines(lines, "\r\n"));
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(readFileText(folder + "/out.bmp") == readFileText(SHEET_BMP));
}

// One broken picture each: the tool exits with 2, names the file and line
// and says what is wrong, and writes no bitmap.
TEST_F(SheetTool, BadPicturesAreRefusedWithTheirLine) {
  const std::vector<std::string> good = readLines(SHEET_TEXT);
  const size_t first = pixelRowLine(good);
  const size_t paletteLine = [&] {
    for (size_t i = 0; i < first; i++)
      if (!good[i].empty() && good[i][0] != ';') return i;
    return first;
  }();
  struct Case {
    std::string what;
    std::vector<std::string> lines;
    size_t line;  // 0-based index of the line to be named
    std::string says;
  };
  std::vector<Case> cases;
  auto edited = [&](auto edit) {
    std::vector<std::string> lines = good;
    edit(lines);
    return lines;
  };
  cases.push_back({"unknown character", edited([&](auto& l) { l[pixelRowLine(l, 13)][17] = '?'; }),
                   pixelRowLine(good, 13), "'?' is not in the palette"});
  cases.push_back({"short row", edited([&](auto& l) { l[pixelRowLine(l, 9)].pop_back(); }), pixelRowLine(good, 9),
                   "has 127 characters"});
  cases.push_back(
      {"bad colour", edited([&](auto& l) { l[paletteLine] = ". = FF00G0"; }), paletteLine, "six hex digits"});
  cases.push_back({"duplicate name", edited([&](auto& l) { l.insert(l.begin() + first, ". = 000000"); }), first,
                   "already in the palette"});
  cases.push_back({"missing row", edited([&](auto& l) { l.pop_back(); }), good.size() - 2, "ends after 63 pixel rows"});
  cases.push_back({"palette entry among the rows",
                   edited([&](auto& l) { l.insert(l.begin() + first + 3, "Q = 123456"); }), first + 3,
                   "every row needs exactly 128"});
  for (const Case& c : cases) {
    std::filesystem::remove(folder + "/out.bmp");
    ToolRun run = build(joinLines(c.lines));
    EXPECT_EQ(run.exitCode, 2) << c.what;
    std::string where = folder + "/in.txt:" + std::to_string(c.line + 1) + ":";
    EXPECT_NE(run.errors.find(where), std::string::npos) << c.what << ": " << run.errors;
    EXPECT_NE(run.errors.find(c.says), std::string::npos) << c.what << ": " << run.errors;
    EXPECT_FALSE(std::filesystem::exists(folder + "/out.bmp")) << c.what;
  }
}

TEST_F(SheetTool, PixelRowsBeforeAnyPaletteAndMissingFilesAreRefused) {
  ToolRun noPalette = build(std::string(128, '.') + "\n");
  EXPECT_EQ(noPalette.exitCode, 2);
  EXPECT_NE(noPalette.errors.find("in.txt:1: pixel row before any palette entry"), std::string::npos)
      << noPalette.errors;

  ToolRun missing = runMakeSheet(folder + "/nothing.txt " + folder + "/out.bmp", folder);
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.errors.find("nothing.txt: cannot be read"), std::string::npos) << missing.errors;

  ToolRun usage = runMakeSheet(SHEET_TEXT, folder);
  EXPECT_EQ(usage.exitCode, 2);
  EXPECT_NE(usage.errors.find("usage"), std::string::npos);
}

}  // namespace
