// Settings text: "key = value" lines with their numbers, comments and blanks
// not counting, lines that are no setting set apart; one value rewritten
// with every other line kept.
#include "formats/settings_text.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

TEST(SettingsText, KeysAndValuesWithTheirLineNumbers) {
  const SettingsText parsed = parseSettingsText(
      "# Quarvel\n"
      "\n"
      "scale=5\n"
      "  Volume\t=  70   ; loud\n"
      "key_drop = X  # the X key\r\n"
      "title = a = b\n"
      "just words\n"
      "  ; = hidden\n"
      "empty =\n"
      "= orphan\n"
      "last = line");
  struct Expected {
    int line;
    const char* key;
    const char* value;
  } expected[] = {
      {3, "scale", "5"}, {4, "volume", "70"}, {5, "key_drop", "X"}, {6, "title", "a = b"},
      {9, "empty", ""},  {10, "", "orphan"},  {11, "last", "line"},
  };
  ASSERT_EQ(parsed.entries.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(parsed.entries[i].line, expected[i].line) << i;
    EXPECT_EQ(parsed.entries[i].key, expected[i].key) << "keys lower case, values as written";
    EXPECT_EQ(parsed.entries[i].value, expected[i].value) << i;
  }
  ASSERT_EQ(parsed.malformed.size(), 1u);
  EXPECT_EQ(parsed.malformed[0].line, 7);
  EXPECT_EQ(parsed.malformed[0].key, "just words");

  EXPECT_TRUE(parseSettingsText("").entries.empty());
  EXPECT_TRUE(parseSettingsText("# only = a comment\n;x=1\n\n").entries.empty());
  EXPECT_TRUE(parseSettingsText("# only = a comment\n;x=1\n\n").malformed.empty());
}

TEST(SettingsText, OneValueIsRewrittenAndEveryOtherLineKept) {
  const std::string mine = "# mine: volume = 3\nscale = 2\nVOLUME = 70  # loud\nweird line\nvolume = 10\r\n";
  EXPECT_EQ(withSetting(mine, "volume", "35"),
            "# mine: volume = 3\nscale = 2\nvolume = 35\nweird line\nvolume = 10\r\n")
      << "the first line of the key, in any case; comments are no setting";
  EXPECT_EQ(withSetting(mine, "mute", "yes"), mine + "mute = yes\n") << "a missing key is added at the end";
  EXPECT_EQ(withSetting("", "volume", "0"), "volume = 0\n");
  EXPECT_EQ(withSetting("scale = 2", "mute", "no"), "scale = 2\nmute = no\n") << "the last line gets its line end";
  EXPECT_EQ(withSetting("# volume = 1\n", "volume", "2"), "# volume = 1\nvolume = 2\n");
}
