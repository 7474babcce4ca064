// make_sheet: turns the text picture of the sprite sheet into the 128x64
// 24-bit BMP that the game loads.
//
//   usage: make_sheet tools/graphics.txt data/graphics/graphics.bmp
//
// The text picture, line by line:
//   - a line whose first character is ';' is a comment; empty lines are skipped;
//   - first the palette, one entry a line: one character, '=', and the colour as
//     six hex digits RRGGBB, e.g. ". = FF00FF" (spaces around '=' are optional);
//   - then the 64 pixel rows of the sheet, top row first, each exactly 128
//     characters, every character one pixel in its palette colour.
// Trailing spaces, a trailing carriage return and a leading UTF-8 mark are ignored.
//
// On bad input it names the file and line, writes nothing and exits with 2.
// Exit 1 means the picture could not be written; 0 means done.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "formats/bmp.h"

namespace {

constexpr int SHEET_WIDTH = 128;
constexpr int SHEET_HEIGHT = 64;

struct PaletteEntry {
  char symbol;
  uint32_t colour;  // 0xRRGGBB
  int line;         // where it was declared
};

struct Sheet {
  std::vector<PaletteEntry> palette;
  std::vector<uint32_t> pixels;  // SHEET_WIDTH * SHEET_HEIGHT, top row first
  int rows = 0;                  // pixel rows read so far
};

// The failure of one input line: where and what.
struct ParseError {
  int line = 0;
  std::string message;
};

std::string trimRight(const std::string& text) {
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) end--;
  return text.substr(0, end);
}

std::string trim(const std::string& text) {
  std::string right = trimRight(text);
  size_t start = 0;
  while (start < right.size() && (right[start] == ' ' || right[start] == '\t')) start++;
  return right.substr(start);
}

// A character may name a colour when it is printable, not blank and not ';'.
bool usableSymbol(char c) { return c > ' ' && c < 127 && c != ';'; }

std::string describeSymbol(char c) {
  if (c > ' ' && c < 127) return std::string("'") + c + "'";
  char code[16];
  std::snprintf(code, sizeof code, "byte 0x%02X", static_cast<unsigned char>(c));
  return code;
}

const PaletteEntry* findSymbol(const Sheet& sheet, char symbol) {
  for (const PaletteEntry& entry : sheet.palette)
    if (entry.symbol == symbol) return &entry;
  return nullptr;
}

bool parseHexColour(const std::string& text, uint32_t& colour) {
  if (text.size() != 6) return false;
  colour = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    colour = colour * 16 + static_cast<uint32_t>(digit);
  }
  return true;
}

// "c = RRGGBB"
bool parsePaletteLine(Sheet& sheet, const std::string& line, int lineNumber, ParseError& error) {
  error.line = lineNumber;
  size_t equals = line.find('=', 1);
  if (equals == std::string::npos) {
    error.message = "expected a palette entry like \". = FF00FF\" or a pixel row of " + std::to_string(SHEET_WIDTH) +
                    " characters, found " + std::to_string(line.size()) + " characters";
    return false;
  }
  std::string symbolPart = trim(line.substr(0, equals));
  std::string colourPart = trim(line.substr(equals + 1));
  if (symbolPart.size() != 1 || !usableSymbol(symbolPart[0])) {
    error.message = "a palette entry names one printable character (not ';' or a blank) before '='";
    return false;
  }
  char symbol = symbolPart[0];
  uint32_t colour;
  if (!parseHexColour(colourPart, colour)) {
    error.message =
        "the colour of " + describeSymbol(symbol) + " must be six hex digits RRGGBB, found \"" + colourPart + "\"";
    return false;
  }
  if (const PaletteEntry* earlier = findSymbol(sheet, symbol)) {
    error.message = describeSymbol(symbol) + " is already in the palette (line " + std::to_string(earlier->line) + ")";
    return false;
  }
  sheet.palette.push_back(PaletteEntry{symbol, colour, lineNumber});
  return true;
}

bool parsePixelRow(Sheet& sheet, const std::string& line, int lineNumber, ParseError& error) {
  error.line = lineNumber;
  if (sheet.rows == SHEET_HEIGHT) {
    error.message = "one pixel row too many: the sheet has " + std::to_string(SHEET_HEIGHT) + " rows";
    return false;
  }
  if (sheet.palette.empty()) {
    error.message = "pixel row before any palette entry";
    return false;
  }
  for (int x = 0; x < SHEET_WIDTH; x++) {
    const PaletteEntry* entry = findSymbol(sheet, line[x]);
    if (entry == nullptr) {
      error.message = "column " + std::to_string(x + 1) + " (pixel x " + std::to_string(x) + ", y " +
                      std::to_string(sheet.rows) + "): " + describeSymbol(line[x]) + " is not in the palette";
      return false;
    }
    sheet.pixels[static_cast<size_t>(sheet.rows * SHEET_WIDTH + x)] = entry->colour;
  }
  sheet.rows++;
  return true;
}

bool parseSheet(std::istream& in, Sheet& sheet, ParseError& error) {
  sheet.pixels.assign(static_cast<size_t>(SHEET_WIDTH * SHEET_HEIGHT), 0);
  std::string raw;
  int lineNumber = 0;
  while (std::getline(in, raw)) {
    lineNumber++;
    if (lineNumber == 1 && raw.rfind("\xEF\xBB\xBF", 0) == 0) raw.erase(0, 3);  // an editor's UTF-8 mark
    std::string line = trimRight(raw);
    if (line.empty() || line[0] == ';') continue;
    if (static_cast<int>(line.size()) == SHEET_WIDTH) {
      if (!parsePixelRow(sheet, line, lineNumber, error)) return false;
      continue;
    }
    if (sheet.rows > 0) {
      error.line = lineNumber;
      error.message = "pixel row " + std::to_string(sheet.rows) + " has " + std::to_string(line.size()) +
                      " characters; every row needs exactly " + std::to_string(SHEET_WIDTH);
      return false;
    }
    if (!parsePaletteLine(sheet, line, lineNumber, error)) return false;
  }
  if (sheet.rows < SHEET_HEIGHT) {
    error.line = lineNumber;
    error.message = "the file ends after " + std::to_string(sheet.rows) + " pixel rows; the sheet needs " +
                    std::to_string(SHEET_HEIGHT);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_sheet PICTURE.txt OUTPUT.bmp\n";
    return 2;
  }
  const std::string inputPath = argv[1];
  const std::string outputPath = argv[2];
  std::ifstream in(inputPath, std::ios::binary);
  if (!in) {
    std::cerr << inputPath << ": cannot be read\n";
    return 2;
  }
  Sheet sheet;
  ParseError error;
  if (!parseSheet(in, sheet, error)) {
    std::cerr << inputPath << ":" << error.line << ": " << error.message << "\n";
    return 2;
  }
  std::vector<uint8_t> bmp = encodeBmp(sheet.pixels.data(), SHEET_WIDTH, SHEET_HEIGHT, SHEET_WIDTH);
  std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
  out.close();
  if (!out) {
    std::cerr << outputPath << ": cannot be written\n";
    return 1;
  }
  return 0;
}
