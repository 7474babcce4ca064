// The ends of each number's range are a player's valid settings, in the
// file and on the command line alike; one past either end is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/settings.h"

namespace {

struct Range {
  const char* key;
  int low, high;
  int Settings::*setting;
  int RunOptions::*option;  // --scale, --volume
};
constexpr Range RANGES[] = {{"scale", 1, 8, &Settings::scale, &RunOptions::scaleOption},
                            {"volume", 0, 100, &Settings::volume, &RunOptions::volumeOption}};

}  // namespace

TEST(SettingsRanges, BothEndsAreTakenAndOnePastEitherIsRefused) {
  for (const Range& range : RANGES) {
    for (int value : {range.low, range.high}) {
      Settings settings;
      std::vector<std::string> problems;
      parseSettings(std::string(range.key) + " = " + std::to_string(value) + "\n", "q.ini", settings, problems);
      EXPECT_TRUE(problems.empty()) << range.key << " = " << value;
      EXPECT_EQ(settings.*range.setting, value) << range.key;
    }
    for (int value : {range.low - 1, range.high + 1}) {
      Settings settings;
      const int before = settings.*range.setting;
      std::vector<std::string> problems;
      parseSettings(std::string(range.key) + " = " + std::to_string(value) + "\n", "q.ini", settings, problems);
      ASSERT_EQ(problems.size(), 1u) << range.key << " = " << value;
      EXPECT_EQ(problems[0].rfind(std::string("q.ini:1: ") + range.key, 0), 0u) << problems[0];
      EXPECT_EQ(settings.*range.setting, before) << range.key << " = " << value;
    }
  }
}

TEST(SettingsRanges, TheCommandLineTakesTheSameEnds) {
  for (const Range& range : RANGES) {
    const std::string option = std::string("--") + range.key;
    for (int value : {range.low, range.high}) {
      RunOptions options;
      EXPECT_EQ(parseCommandLine({option, std::to_string(value)}, options), CommandLine::Run) << option << value;
      EXPECT_EQ(options.*range.option, value) << option;
    }
    for (int value : {range.low - 1, range.high + 1}) {
      RunOptions options;
      testing::internal::CaptureStderr();
      EXPECT_EQ(parseCommandLine({option, std::to_string(value)}, options), CommandLine::Bad) << option << value;
      testing::internal::GetCapturedStderr();
    }
  }
}
