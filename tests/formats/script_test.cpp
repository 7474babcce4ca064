// Input scripts: each event with its time, key and text; an optional seed
// first; a malformed line named by its number, leaving no half-read script.
#include "formats/script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "base/keys.h"
#include "formats/key_names.h"

namespace {

Script parsed(const std::string& text) {
  Script script;
  const Outcome read = parseScript(text, script);
  EXPECT_TRUE(read.ok()) << read.why();
  return script;
}

}  // namespace

TEST(Script, EveryKindOfEventWithItsTimeAndText) {
  const Script script = parsed(
      "seed 42\n"
      "# a comment line, and a blank one\n"
      "\n"
      "100 down space   # held, queues a blank\n"
      "150 up space\n"
      "150 down left\r\n"  // the same time again, CR LF
      "200 down esc\n"
      "300 type Hello  there\n"
      "400 close\n"
      "  500   shot title-2_B  \n");
  EXPECT_EQ(script.seed, 42u);
  ASSERT_EQ(script.events.size(), 7u);
  const ScriptEvent& down = script.events[0];
  EXPECT_EQ(down.ms, 100);
  EXPECT_EQ(down.kind, ScriptEvent::Down);
  EXPECT_EQ(down.scanCode, SC_SPACE);
  EXPECT_EQ(down.text, " ") << "a press queues what the key types";
  EXPECT_EQ(script.events[1].kind, ScriptEvent::Up);
  EXPECT_EQ(script.events[1].scanCode, SC_SPACE);
  EXPECT_EQ(script.events[2].ms, 150);
  EXPECT_EQ(script.events[2].scanCode, SC_LEFT);
  EXPECT_EQ(script.events[2].text, keyWithoutCharacter());
  EXPECT_EQ(script.events[3].text, std::string(1, KEY_ESC_CHAR));
  EXPECT_EQ(script.events[4].kind, ScriptEvent::Type);
  EXPECT_EQ(script.events[4].text, "Hello  there");
  EXPECT_EQ(script.events[5].kind, ScriptEvent::Close);
  EXPECT_EQ(script.events[6].kind, ScriptEvent::Shot);
  EXPECT_EQ(script.events[6].ms, 500);
  EXPECT_EQ(script.events[6].text, "title-2_B");

  EXPECT_FALSE(parsed("10 down a\n").seed.has_value()) << "no seed line: none";
  EXPECT_TRUE(parsed("").events.empty());
  EXPECT_EQ(parsed("# first\nseed 0\n").seed, 0u) << "comments may come before the seed";
  EXPECT_EQ(parsed("seed 4294967295\n").seed, 4294967295u);
}

TEST(Script, AMalformedLineIsNamedByItsNumberAndNothingIsKept) {
  struct Case {
    const char* text;
    const char* reason;  // the start of the message
  } cases[] = {
      {"10 down a\n5 up a\n", "2: times must not decrease"},
      {"# note\n\n10 press a\n", "3: unknown event 'press'"},
      {"10\n", "1: missing event after the time"},
      {"10 down f1\n", "1: unknown key 'f1'"},
      {"10 down\n", "1: unknown key ''"},
      {"10 down Space\n", "1: unknown key 'Space'"},  // names are lower case
      {"-5 down a\n", "1: expected a time"},
      {"1.5 down a\n", "1: expected a time"},
      {"99999999999999999999 down a\n", "1: expected a time"},
      {"abc down a\n", "1: expected a time"},
      {"10 type\n", "1: 'type' needs text"},
      {"10 close now\n", "1: 'close' takes nothing more"},
      {"10 shot\n", "1: 'shot' needs a name"},
      {"10 shot ../title\n", "1: 'shot' needs a name"},
      {"10 shot a b\n", "1: 'shot' needs a name"},
      {"10 down a\nseed 4\n", "2: 'seed' must be the first line"},
      {"seed 1\nseed 2\n", "2: 'seed' must be the first line"},
      {"seed 4294967296\n", "1: seed needs one whole number"},
      {"seed -1\n", "1: seed needs one whole number"},
      {"seed 1 2\n", "1: seed needs one whole number"},
      {"seed\n", "1: seed needs one whole number"},
  };
  for (const Case& c : cases) {
    Script script;  // what a previous read left
    script.seed = 9;
    script.events.push_back(ScriptEvent{});
    const Outcome read = parseScript(c.text, script);
    EXPECT_FALSE(read.ok()) << c.text;
    EXPECT_EQ(read.why().rfind(c.reason, 0), 0u) << c.text << " gave " << read.why();
    EXPECT_FALSE(script.seed.has_value()) << c.text;
    EXPECT_TRUE(script.events.empty()) << c.text;
  }
}

TEST(Script, WholeNumbersAreDigitsAloneUpToTheirLimit) {
  int64_t value = -1;
  EXPECT_TRUE(parseWholeNumber("0", 10, value));
  EXPECT_EQ(value, 0);
  EXPECT_TRUE(parseWholeNumber("007", 10, value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(parseWholeNumber("10", 10, value)) << "the limit itself";
  EXPECT_FALSE(parseWholeNumber("11", 10, value));
  EXPECT_TRUE(parseWholeNumber("4294967295", 4294967295LL, value));
  EXPECT_EQ(value, 4294967295LL);
  for (const char* bad : {"", "+1", "-1", " 1", "1 ", "1.0", "0x1", "99999999999999999999"})
    EXPECT_FALSE(parseWholeNumber(bad, INT64_MAX, value)) << bad;
}
