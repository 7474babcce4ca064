// The high-score text: the value is the second item, read forgivingly from
// any bytes, clamped to 32 bits; the writer's text reads back as its value.
#include "formats/hiscore_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct Reading {
  std::string text;
  int32_t value;
};

void expectReadings(std::initializer_list<Reading> readings) {
  for (const Reading& reading : readings) EXPECT_EQ(highScoreFromText(reading.text), reading.value) << reading.text;
}

}  // namespace

TEST(HighScoreText, TheValueIsTheSecondItemOfLinesOrCommas) {
  expectReadings({
      {"hi-score\r\n 345\r\n", 345},
      {"hi-score\n 345\n", 345},
      {"hi-score\r\n-12\r\n", -12},
      {"hi-score\n+7\n", 7},
      {"hi-score\n \t 56\n", 56},  // blanks and tabs before the number
      {"anything\n42", 42},        // the last line needs no line end
      {"12\n34\n56\n", 34},        // the first item is not the value, nor the third
      {"hi-score, 77,99\n", 77},   // items end at commas as well
      {"hi-score\n88,99\n", 88},
      {",5", 5},
      {"\n6\n", 6},
  });
}

TEST(HighScoreText, FractionsRoundHalfToEvenAndTheNumberEndsAtItsLastDigit) {
  expectReadings({
      {"h\n2.5\n", 2},
      {"h\n3.5\n", 4},
      {"h\n-2.5\n", -2},
      {"h\n0.5\n", 0},
      {"h\n2.51\n", 3},
      {"h\n7.\n", 7},
      {"h\n.5\n", 0},
      {"h\n12abc\n", 12},
      {"h\n1e3\n", 1},  // no exponents
      {"h\n4 5\n", 4},
      {"h\n3.4999999999999999999\n", 4},  // read as one double, 3.5, then to even
  });
}

TEST(HighScoreText, NoNumberIsZeroAndValuesBeyondThirtyTwoBitsAreClamped) {
  expectReadings({
      {"", 0},
      {"hi-score\r\n", 0},
      {"hi-score\r\n\r\n", 0},
      {"hi-score\r\nabc\r\n", 0},
      {"hi-score\r\n-\r\n", 0},
      {"hi-score\r\n+ 5\r\n", 0},
      {std::string("hi-score\n\0 5\n", 13), 0},
      {"h\n2147483647\n", INT32_MAX},
      {"h\n2147483648\n", INT32_MAX},
      {"h\n2147483647.5\n", INT32_MAX},
      {"h\n99999999999999999999\n", INT32_MAX},
      {"h\n-2147483648\n", INT32_MIN},
      {"h\n-2147483649\n", INT32_MIN},
      {"h\n-99999999999\n", INT32_MIN},
      {"h\n" + std::string(80, '0') + "345\n", 345},
      {"h\n" + std::string(30000, '7') + "\n", INT32_MAX},
  });
  // Every byte once: the second item runs from the byte after '\n' to the one
  // before ',', and starts with a control character.
  std::string everyByte;
  for (int byte = 0; byte < 256; ++byte) everyByte.push_back(static_cast<char>(byte));
  EXPECT_EQ(highScoreFromText(everyByte), 0);
}

TEST(HighScoreText, TheWrittenTextIsExactAndReadsBack) {
  EXPECT_EQ(highScoreText(1000), "hi-score\r\n 1000\r\n");
  EXPECT_EQ(highScoreText(0), "hi-score\r\n 0\r\n");
  EXPECT_EQ(highScoreText(-45), "hi-score\r\n-45\r\n");
  EXPECT_EQ(highScoreText(INT32_MAX), "hi-score\r\n 2147483647\r\n");
  EXPECT_EQ(highScoreText(INT32_MIN), "hi-score\r\n-2147483648\r\n");
  for (int32_t value : {INT32_MIN, -1000000, -1, 0, 1, 999, 123456789, INT32_MAX})
    EXPECT_EQ(highScoreFromText(highScoreText(value)), value);
}
