// Replays: the header, the events, the end and the claims read back exactly
// from text and from the compact form; plain scripts read as replays; every
// limit at its edge; damaged input refused with its line, never half read.
#include "formats/replay.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/keys.h"
#include "formats/key_names.h"

namespace {

const std::string FULL =
    "# kept by the game\n"
    "quarvel replay\n"
    "rules 1\n"
    "seed 4294967295\n"
    "start-high-score 2500\n"
    "played 2026-12-09T08:43:55Z\n"
    "1 down space\n"
    "2 up space\n"
    "2 type Y\n"
    "40 close\n"
    "3600000 end\n"
    "claim score 4350\n"
    "claim high-score 4351\n"
    "claim frames 8959\n"
    "claim last-frame-crc 0a1b2c3d\n";

Replay parsed(const std::string& text) {
  Replay replay;
  const Outcome read = parseReplay(text, replay);
  EXPECT_TRUE(read.ok()) << read.why() << "\n" << text;
  return replay;
}

std::string whyRefused(const std::string& text) {
  Replay replay;
  const Outcome read = parseReplay(text, replay);
  EXPECT_FALSE(read.ok()) << text;
  EXPECT_TRUE(replay.events.empty() && !replay.claims) << "nothing half read";
  return read.why();
}

void expectSameReplay(const Replay& a, const Replay& b) {
  EXPECT_EQ(a.rules, b.rules);
  EXPECT_EQ(a.seed, b.seed);
  EXPECT_EQ(a.startHighScore, b.startHighScore);
  EXPECT_EQ(a.played, b.played);
  EXPECT_EQ(a.endMs, b.endMs);
  EXPECT_EQ(a.claims, b.claims);
  ASSERT_EQ(a.events.size(), b.events.size());
  for (size_t i = 0; i < a.events.size(); ++i) {
    EXPECT_EQ(a.events[i].ms, b.events[i].ms) << i;
    EXPECT_EQ(a.events[i].kind, b.events[i].kind) << i;
    EXPECT_EQ(a.events[i].scanCode, b.events[i].scanCode) << i;
    EXPECT_EQ(a.events[i].text, b.events[i].text) << i;
  }
}

// A seeded game's worth of input: keys held for a few frames, typed
// answers, the close button, times that repeat and that jump.
Replay randomReplay(uint32_t seed, size_t count) {
  std::mt19937 random(seed);
  const int keys[] = {SC_SPACE,
                      SC_LEFT,
                      SC_RIGHT,
                      SC_ESC,
                      SC_CTRL,
                      SC_LSHIFT,
                      scanCodeForName("z"),
                      scanCodeForName("y"),
                      scanCodeForName("0")};
  Replay replay;
  replay.seed = random();
  replay.startHighScore = static_cast<int32_t>(random() % 100000);
  if (seed % 2 == 0) replay.played = 1'700'000'000 + random() % 100'000'000;
  int64_t ms = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t pick = random() % 100;
    ms += pick < 30 ? 0 : pick < 80 ? 30 * (random() % 8) : random() % 7000;
    ScriptEvent event;
    event.ms = ms;
    if (pick % 23 == 0) {
      event.kind = ScriptEvent::Type;
      event.text = std::string(1 + random() % 3, static_cast<char>('A' + random() % 26));
    } else if (pick % 37 == 0) {
      event.kind = ScriptEvent::Close;
    } else {
      event.kind = random() % 2 ? ScriptEvent::Down : ScriptEvent::Up;
      event.scanCode = keys[random() % std::size(keys)];
      event.text = typedValueForScanCode(event.scanCode);
    }
    replay.events.push_back(event);
  }
  if (seed % 3 != 0) replay.endMs = ms + random() % 100;
  if (seed % 5 != 0)
    replay.claims = ReplayClaims{static_cast<int32_t>(random() % 1000000), 2147483647,
                                 static_cast<int64_t>(random() % 200000), static_cast<uint32_t>(random())};
  return replay;
}

}  // namespace

TEST(ReplayText, HeaderEventsEndAndClaimsReadAndWriteBack) {
  const Replay replay = parsed(FULL);
  EXPECT_FALSE(replay.plainScript);
  EXPECT_EQ(replay.rules, 1);
  EXPECT_EQ(replay.seed, 4294967295u);
  EXPECT_EQ(replay.startHighScore, 2500);
  EXPECT_EQ(replay.played, 1796805835) << "2026-12-09T08:43:55Z";
  ASSERT_EQ(replay.events.size(), 4u);
  EXPECT_EQ(replay.events[0].scanCode, SC_SPACE);
  EXPECT_EQ(replay.events[0].text, " ");
  EXPECT_EQ(replay.events[2].kind, ScriptEvent::Type);
  EXPECT_EQ(replay.events[2].text, "Y");
  EXPECT_EQ(replay.events[3].kind, ScriptEvent::Close);
  EXPECT_EQ(replay.endMs, 3600000) << "the end may stand at the hour itself";
  ASSERT_TRUE(replay.claims);
  EXPECT_EQ(*replay.claims, (ReplayClaims{4350, 4351, 8959, 0x0a1b2c3d}));

  const std::string written = replayText(replay);
  EXPECT_EQ(written, FULL.substr(FULL.find('\n') + 1)) << "the same lines, comments aside";
  expectSameReplay(parsed(written), replay);

  const Replay bare = parsed("quarvel replay\nrules 7\nseed 0\nstart-high-score 0\n");
  EXPECT_EQ(bare.rules, 7) << "another rules version reads; the player refuses it";
  EXPECT_FALSE(bare.played || bare.endMs || bare.claims);
  EXPECT_TRUE(bare.events.empty());
  EXPECT_EQ(replayText(bare), "quarvel replay\nrules 7\nseed 0\nstart-high-score 0\n");
}

TEST(ReplayText, PlainScriptsReadAsReplaysOfThisBuild) {
  const Replay script = parsed("seed 42\n100 down space\n150 up space\n");
  EXPECT_TRUE(script.plainScript);
  EXPECT_EQ(script.rules, REPLAY_RULES_VERSION);
  EXPECT_EQ(script.seed, 42u);
  EXPECT_EQ(script.startHighScore, 1000);
  EXPECT_FALSE(script.claims || script.endMs || script.played);
  EXPECT_EQ(script.events.size(), 2u);
  EXPECT_EQ(parsed("100 down space\n").seed, 0u) << "a headless run without a seed plays seed 0";
  EXPECT_NE(whyRefused("100 down space\n90 up space\n").find("2: "), std::string::npos) << "the script's own errors";
}

TEST(ReplayText, LimitsAtTheirEdges) {
  const std::string header = "quarvel replay\nrules 1\nseed 1\nstart-high-score 1000\n";
  parsed(header + "3600000 down space\n");
  EXPECT_EQ(whyRefused(header + "3600001 down space\n"), "5: longer than one hour of game time");
  EXPECT_EQ(whyRefused("3600001 down space\n"), "longer than one hour of game time") << "scripts too";
  EXPECT_NE(whyRefused(header + "3600001 end\n").find("5: "), std::string::npos);

  std::string big = header;
  while (big.size() < REPLAY_MAX_BYTES) big += "# padding padding padding padding padding padding\n";
  big.resize(REPLAY_MAX_BYTES);
  big.back() = '\n';
  parsed(big);
  EXPECT_EQ(whyRefused(big + "\n"), "larger than 1 MB");

  EXPECT_EQ(whyRefused(header + "10 shot title\n"), "5: a replay takes no shots");
  EXPECT_EQ(whyRefused("10 shot title\n"), "a replay takes no shots") << "a script played as a replay";
  // Typed text the compact form holds whole, and no more.
  parsed(header + "10 type " + std::string(255, 'y') + "\n");
  EXPECT_EQ(whyRefused(header + "10 type " + std::string(256, 'y') + "\n"), "5: typed text longer than 255 characters");
  EXPECT_EQ(whyRefused("10 type " + std::string(256, 'y') + "\n"), "typed text longer than 255 characters");
  parsed(header + "claim score 2147483647\nclaim high-score 0\nclaim frames 0\nclaim last-frame-crc ffffffff\n");
  EXPECT_NE(whyRefused(header + "claim score 2147483648\n").find("5: "), std::string::npos);
}

TEST(ReplayText, MalformedReplaysNameTheirLine) {
  const std::string header = "quarvel replay\nrules 1\nseed 1\nstart-high-score 1000\n";
  const std::string claims = "claim score 1\nclaim high-score 1\nclaim frames 1\nclaim last-frame-crc 00000000\n";
  const struct {
    std::string text;
    std::string why;
  } cases[] = {
      {"quarvel replay\nseed 1\nstart-high-score 1000\n5 down space\n", "4: the header needs"},
      {"quarvel replay\nrules 1\nseed 1\n", "the header needs"},
      {"quarvel replay\nrules 0\n", "2: rules needs"},
      {"quarvel replay\nrules 1\nrules 1\n", "3: 'rules' is given twice"},
      {"quarvel replay\nseed -1\n", "2: seed needs"},
      {"quarvel replay\nstart-high-score 2147483648\n", "2: start-high-score needs"},
      {"quarvel replay\nplayed 2026-02-29T00:00:00Z\n", "2: played needs"},
      {"quarvel replay\nplayed 2026-12-09T08:43:55\n", "2: played needs"},
      {"quarvel replay\ncolour blue\n", "2: unknown header line 'colour'"},
      {header + "5 down space\nseed 3\n", "6: 'seed' belongs in the header"},
      {header + "5 down nothing\n", "5: unknown key 'nothing'"},
      {header + "5 down space\n4 up space\n", "6: times must not decrease"},
      {header + "5 end\n6 down space\n", "6: nothing may follow the end"},
      {header + "5 down space\n4 end\n", "6: times must not decrease"},
      {header + "5 end now\n", "5: 'end' takes nothing more"},
      {header + claims + "5 down space\n", "9: events must come before the claims"},
      {header + "claim score 1\n", "the claims need all of"},
      {header + "claim score 1\nclaim score 2\n", "6: the claim 'score' is made twice"},
      {header + "claim luck 7\n", "5: unknown claim 'luck'"},
      {header + "claim last-frame-crc 0A1B2C3D\n", "5: the last frame's CRC needs 8 hex digits"},
      {header + "claim last-frame-crc 1234567\n", "5: the last frame's CRC needs 8 hex digits"},
      {header + "claim frames 5 6\n", "5: a claim takes one value"},
  };
  for (const auto& c : cases) {
    const std::string why = whyRefused(c.text);
    EXPECT_EQ(why.rfind(c.why, 0), 0u) << "got '" << why << "' for\n" << c.text;
  }
}

TEST(ReplayCompact, EveryReplayPacksAndUnpacksToItself) {
  for (uint32_t seed = 0; seed < 40; ++seed) {
    const Replay replay = randomReplay(seed, seed * 37);
    Replay back;
    const Outcome read = replayFromLinkData(replayLinkData(replay), back);
    ASSERT_TRUE(read.ok()) << read.why() << " seed " << seed;
    expectSameReplay(back, replay);
  }
  // From the text, through the link, to the same text.
  Replay back;
  ASSERT_TRUE(replayFromLinkData(replayLinkData(parsed(FULL)), back).ok());
  EXPECT_EQ(replayText(back), replayText(parsed(FULL)));
}

TEST(ReplayCompact, ASavedLinkReadsAsItsReplay) {
  const std::string data = replayLinkData(parsed(FULL));
  for (const std::string& saved : {std::string(REPLAY_LINK_MARKER) + data + "\n",
                                   "  https://example.org/quarvel/" + std::string(REPLAY_LINK_MARKER) + data +
                                       "&frames=all\r\nanything after the first line\n"}) {
    EXPECT_TRUE(isReplayText(saved));
    Replay back;
    ASSERT_TRUE(parseReplay(saved, back).ok()) << saved;
    EXPECT_EQ(replayText(back), replayText(parsed(FULL)));
  }
  Replay replay;
  EXPECT_FALSE(parseReplay(std::string(REPLAY_LINK_MARKER) + "not*base64", replay).ok());
  EXPECT_FALSE(isReplayText("# a comment\n10 down space\n")) << "a plain script";
  EXPECT_TRUE(isReplayText("# made by hand\nquarvel replay\n"));
}

TEST(ReplayCompact, RegularPlayPacksSmall) {
  // Two thousand events of steady play, as a whole game has them: well under
  // two bytes an event.
  Replay replay;
  std::mt19937 random(7);
  int64_t ms = 0;
  for (int i = 0; i < 1000; ++i) {
    const int key = random() % 3 == 0 ? SC_SPACE : random() % 2 ? SC_LEFT : SC_RIGHT;
    ms += 30 * (1 + random() % 6);
    replay.events.push_back({ms, ScriptEvent::Down, key, typedValueForScanCode(key)});
    ms += 30 * (1 + random() % 2);
    replay.events.push_back({ms, ScriptEvent::Up, key, typedValueForScanCode(key)});
  }
  EXPECT_LT(replayLinkData(replay).size(), 2000u * 2 * 4 / 3);
}

TEST(ReplayCompact, DamagedDataIsRefusedOrReadWithinTheLimits) {
  const std::vector<uint8_t> packed = packReplay(randomReplay(11, 300));
  Replay replay;
  EXPECT_FALSE(unpackReplay({}, replay).ok());
  EXPECT_FALSE(unpackReplay({2}, replay).ok()) << "another packing";
  for (size_t length = 0; length < packed.size() / 2; ++length) {
    const std::vector<uint8_t> cut(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_FALSE(unpackReplay(cut, replay).ok()) << "cut at " << length;
  }
  std::mt19937 random(3);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> damaged = packed;
    damaged[random() % damaged.size()] ^= static_cast<uint8_t>(1 + random() % 255);
    if (round % 2 == 0) damaged.resize(random() % (damaged.size() + 1));
    if (!unpackReplay(damaged, replay).ok()) continue;
    for (const ScriptEvent& event : replay.events) EXPECT_LE(event.ms, REPLAY_MAX_MS);
    EXPECT_LE(replay.endMs.value_or(0), REPLAY_MAX_MS);
  }
  EXPECT_FALSE(replayFromLinkData("AQ*B", replay).ok()) << "not base64url";
  EXPECT_FALSE(replayFromLinkData("A", replay).ok()) << "a lone sixth of a byte";
}

TEST(ReplayCompact, Base64UrlAndTimes) {
  EXPECT_EQ(base64Url({}), "");
  EXPECT_EQ(base64Url({0xfb, 0xff}), "-_8");
  EXPECT_EQ(base64Url({'M', 'a', 'n'}), "TWFu");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(fromBase64Url("-_8", bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xfb, 0xff}));
  ASSERT_TRUE(fromBase64Url("TWE=", bytes)) << "padding taken";
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'M', 'a'}));
  EXPECT_FALSE(fromBase64Url("TW+u", bytes)) << "plain base64's '+' is not ours";

  EXPECT_EQ(isoTimeOfSeconds(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(isoTimeOfSeconds(951782400), "2000-02-29T00:00:00Z");
  EXPECT_EQ(isoTimeOfSeconds(1796805835), "2026-12-09T08:43:55Z");
  int64_t seconds = 0;
  ASSERT_TRUE(secondsOfIsoTime("2000-02-29T00:00:00Z", seconds));
  EXPECT_EQ(seconds, 951782400);
  ASSERT_TRUE(secondsOfIsoTime("9999-12-31T23:59:59Z", seconds));
  EXPECT_EQ(isoTimeOfSeconds(seconds), "9999-12-31T23:59:59Z");
  for (const char* bad : {"1900-02-29T00:00:00Z", "2026-04-31T00:00:00Z", "2026-12-09T24:00:00Z",
                          "1969-12-31T23:59:59Z", "2026-12-09T08:43:55", "2026-12-09t08:43:55Z"})
    EXPECT_FALSE(secondsOfIsoTime(bad, seconds)) << bad;
}
