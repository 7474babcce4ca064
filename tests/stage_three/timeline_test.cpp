// The stage's timeline frame by frame: siren and warning, the UFO's arrival,
// the weapon pod, the drill and the balloon.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "game/game_state.h"
#include "stage_three/huge_ufo.h"
#include "stage_three/stage_three_flow.h"
#include "stage_three_helpers.h"

namespace {

constexpr uint32_t WARNING_RED = 0xFF0000;

// Keeps the sky free of kamikaze aliens and of new beam attacks, so that the
// ship survives and the pixels looked at are not covered.
void keepSkyClear(StageThreeState& s) {
  for (Kamikaze& k : s.kamikaze) k.active = FLAG_CLEAR;
  for (int32_t& armed : s.ufo.hatchArmed) armed = FLAG_CLEAR;
  if (s.ufo.state == UFO_CRUISING && s.t > 800) s.ufo.timer = 500;
}

bool balloonShown(const StageThreeState& s) { return readPixel(s.ship.x + 84, s.ship.y - 38) == 0xFFFFFF; }

}  // namespace

TEST(StageThreeTimeline, WarningUfoPodDrillAndBalloonComeOnTheirFrames) {
  TestSession session("", 7, true);
  StageThreeState s;
  enterStageThree(s);
  startStageThree(s);
  std::vector<int32_t> warningFrames;
  std::vector<int32_t> balloonFrames;
  for (int32_t t = 1; t <= 1160; ++t) {
    keepSkyClear(s);
    stageThreeFrame(s);
    ASSERT_EQ(s.t, t);
    if (t < 300 && readPixel(2, 62) == WARNING_RED) warningFrames.push_back(t);
    if (balloonShown(s)) balloonFrames.push_back(t);
    // The ship rises from 240 by 2 a frame and is under control from y = 210.
    if (t == 1) {
      EXPECT_EQ(std::make_pair(s.ship.x, s.ship.y), std::make_pair(48, 240));
    }
    if (t == 15) {
      EXPECT_EQ(s.ship.state, SHIP_RISING);
    }
    if (t == 16) {
      EXPECT_EQ(std::make_pair(s.ship.y, s.ship.state), std::make_pair(210, SHIP_IN_PLAY));
    }
    if (t == 229) {
      EXPECT_EQ(s.ufo.state, UFO_IDLE);
    }
    if (t == 230) {
      EXPECT_EQ(s.ufo.state, UFO_SETUP);
    }
    if (t == 231) {
      EXPECT_TRUE(s.ufo.shown);
      EXPECT_EQ(s.ufo.x, 160);
      EXPECT_EQ(s.ufo.y, -40);
      EXPECT_EQ(s.ufo.state, UFO_DESCENDING);
      EXPECT_EQ(std::make_pair(s.commander.x, s.commander.y), std::make_pair(160, -80));
    }
    if (t == 331) {
      EXPECT_EQ(std::make_pair(s.ufo.y, s.ufo.state), std::make_pair(60, UFO_DESCENDING));
    }
    if (t == 332) {
      EXPECT_EQ(std::make_pair(s.ufo.y, s.ufo.state), std::make_pair(61, UFO_READY));
    }
    if (t == 333) {
      EXPECT_EQ(std::make_pair(s.ufo.x, s.ufo.state), std::make_pair(160, UFO_CRUISING));
    }
    if (t == 334) {
      EXPECT_EQ(std::make_pair(s.ufo.x, s.ufo.y), std::make_pair(162, 64));
    }
    if (t == 1000) {
      EXPECT_EQ(s.pod.y, 0);
    }
    if (t == 1001) {
      EXPECT_EQ(std::make_pair(s.pod.x, s.pod.y), std::make_pair(s.ship.x + 2, 230));
    }
    if (t == 1030) {
      EXPECT_EQ(s.pod.y, 230);
    }
    if (t == 1031) {
      EXPECT_EQ(s.pod.y, 229);
    }
    if (t == 1051) {
      EXPECT_FALSE(s.drillWeapon);
    }
    if (t == 1052) {
      EXPECT_EQ(s.pod.y, 208);
      EXPECT_TRUE(s.drillWeapon);  // no shot was fired
    }
    if (t == 1100) {
      EXPECT_EQ(s.pod.y, 208);
    }
  }
  std::vector<int32_t> expectedWarning;
  for (auto [first, last] : {std::pair{51, 90}, {111, 150}, {171, 209}})
    for (int32_t t = first; t <= last; ++t) expectedWarning.push_back(t);
  EXPECT_EQ(warningFrames, expectedWarning) << [&] {
    std::string all;
    for (int32_t t : warningFrames) all += std::to_string(t) + " ";
    return all;
  }();
  ASSERT_FALSE(balloonFrames.empty());
  EXPECT_EQ(balloonFrames.front(), 1061);
  EXPECT_EQ(balloonFrames.back(), 1150);
  EXPECT_EQ(balloonFrames.size(), 90u);

  std::vector<std::pair<int64_t, int>> siren;
  for (const SoundEvent& e : readSoundLog(session.soundLogPath))
    if (e.sample == 8 && e.channel == 8) siren.emplace_back(e.frame + 1, e.volume);
  std::vector<std::pair<int64_t, int>> expectedSiren = {{50, 255}, {90, 0}, {110, 255}, {150, 0}, {170, 255}, {210, 0}};
  EXPECT_EQ(siren, expectedSiren);
  destroyUfoImages(s);
}

TEST(StageThreeTimeline, CruisingSwingsBetween52And70AndTurnsAt280And40) {
  TestSession session("", 11);
  StageThreeState s;
  s.ufo.state = UFO_SETUP;
  int32_t lowest = 1000, highest = -1000, rightmost = 0, leftmost = 1000;
  for (int frame = 0; frame < 1000; ++frame) {
    updateUfo(s);
    s.ufo.hatchArmed[0] = s.ufo.hatchArmed[1] = s.ufo.hatchArmed[2] = s.ufo.hatchArmed[3] = FLAG_CLEAR;
    if (s.ufo.state == UFO_BEAM_ATTACK) s.ufo.timer = 1;  // skip the stops: the sweep alone
    if (s.ufo.state != UFO_CRUISING) continue;
    lowest = std::min(lowest, s.ufo.y);
    highest = std::max(highest, s.ufo.y);
    rightmost = std::max(rightmost, s.ufo.x);
    leftmost = std::min(leftmost, s.ufo.x);
  }
  EXPECT_EQ(lowest, 52);
  EXPECT_EQ(highest, 70);
  EXPECT_EQ(rightmost, 280);
  EXPECT_EQ(leftmost, 40);
}

TEST(StageThreeTimeline, BeamAttackStopsTheUfoAndFiresFromTheTenthToThe84thFrame) {
  TestSession session("", 5, true);
  StageThreeState s;
  s.ufo.state = UFO_CRUISING;
  s.ufo.x = 100;
  s.ufo.y = 60;
  s.ufo.direction = 1;
  s.ufo.timer = 1;
  s.ship.x = 300;  // out of the beam's reach
  updateUfo(s);
  ASSERT_EQ(s.ufo.state, UFO_BEAM_ATTACK);
  const int32_t x = s.ufo.x, y = s.ufo.y;
  std::vector<int> beamFrames;
  for (int frame = 1; frame <= 100; ++frame) {
    updateUfo(s);
    updateBeam(s);
    if (s.beam.active) beamFrames.push_back(frame);
    ASSERT_EQ(std::make_pair(s.ufo.x, s.ufo.y), std::make_pair(x, y));
  }
  EXPECT_EQ(s.ufo.state, UFO_CRUISING);
  EXPECT_GE(s.ufo.timer, 100);
  EXPECT_LE(s.ufo.timer, 199);
  ASSERT_EQ(beamFrames.size(), 75u);
  EXPECT_EQ(beamFrames.front(), 10);
  EXPECT_EQ(beamFrames.back(), 84);
  EXPECT_EQ(std::make_pair(s.beam.x, s.beam.y), std::make_pair(x, y + 32));
  // Charging on phases 1 and 17, cut at 31, then a shot sound every odd phase 33 ... 73.
  int charge = 0, cut = 0, firing = 0;
  for (const SoundEvent& e : readSoundLog(session.soundLogPath)) {
    ASSERT_EQ(e.channel, 10);
    if (e.sample == 8 && e.volume == 255) ++charge;
    if (e.sample == 8 && e.volume == 0) ++cut;
    if (e.sample == 3) ++firing;
  }
  EXPECT_EQ(charge, 2);
  EXPECT_EQ(cut, 1);
  EXPECT_EQ(firing, 21);
}

TEST(StageThreeTimeline, HatchesDropInTheThirtiethFrameOfArmingAndAFifthArmingIsLost) {
  TestSession session("", 3);
  StageThreeState s;
  s.ufo.state = UFO_SETUP;
  updateUfo(s);
  s.ufo.state = UFO_CRUISING;
  int32_t armedAt[HATCHES] = {};
  int launched = 0;
  for (int32_t frame = 1; frame <= 400; ++frame) {
    s.ufo.timer = 100;  // no beam attack
    updateUfo(s);
    for (int j = 0; j < HATCHES; ++j) {
      if (s.ufo.hatchArmed[j] && s.ufo.hatchCountdown[j] == 30) armedAt[j] = frame;
    }
    updateHatches(s);
    for (Kamikaze& k : s.kamikaze) {
      if (!k.active) continue;
      int j = 0;
      while (j < HATCHES && k.x != s.ufo.x + HATCH_OFFSETS[j]) ++j;
      ASSERT_LT(j, HATCHES) << "dropped away from every hatch";
      EXPECT_EQ(k.y, s.ufo.y);
      // The count starts in the arming frame: the alien drops in its 30th frame.
      EXPECT_EQ(frame - armedAt[j], 29);
      EXPECT_FALSE(s.ufo.hatchArmed[j]);
      k.active = FLAG_CLEAR;
      ++launched;
    }
  }
  EXPECT_GT(launched, 10);

  // Three hatches busy: whichever hatch the dice pick, the free one is armed.
  for (int j = 0; j < 3; ++j) {
    s.ufo.hatchArmed[j] = FLAG_SET;
    s.ufo.hatchCountdown[j] = 1000;
  }
  s.ufo.hatchArmed[3] = FLAG_CLEAR;
  while (!s.ufo.hatchArmed[3]) {
    s.ufo.timer = 100;
    updateUfo(s);
  }
  EXPECT_EQ(s.ufo.hatchCountdown[3], 30);
  // All four busy: later chances are lost, not queued.
  s.ufo.hatchCountdown[3] = 1000;
  for (int frame = 0; frame < 300; ++frame) {
    s.ufo.timer = 100;
    updateUfo(s);
  }
  for (int j = 0; j < HATCHES; ++j) EXPECT_EQ(s.ufo.hatchCountdown[j], 1000);
}
