// The stage's timeline frame by frame: siren and warning, the UFO's arrival,
// the weapon pod, the drill and the balloon.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "game/game_state.h"
#include "stage_three/stage_three_internal.h"
#include "support/stage_three_helpers.h"

using namespace stage_three;

namespace {

constexpr uint32_t WARNING_RED = 0xFF0000;

// Keeps the sky free of kamikaze aliens and of new beam attacks, so that the
// ship survives and the pixels looked at are not covered.
void keepSkyClear(StageThreeRecord& stage) {
  for (Kamikaze& k : stage.kamikaze) k.active = false;
  for (bool& armed : stage.ufo.hatchArmed) armed = false;
  if (stage.ufo.state == UfoState::Cruising && stage.t > 800) stage.ufo.timer = 500;
}

bool balloonShown(Machine& machine, const StageThreeRecord& stage) {
  return readPixel(machine, stage.ship.x + 84, stage.ship.y - 38) == 0xFFFFFF;
}

}  // namespace

TEST(StageThreeTimeline, WarningUfoPodDrillAndBalloonComeOnTheirFrames) {
  TestSession session("", 7, true);
  Game& game = session.game;
  StageThreeRecord stage;
  enterStageThree(stage);
  startStageThree(game, stage);
  std::vector<int32_t> warningFrames;
  std::vector<int32_t> balloonFrames;
  for (int32_t t = 1; t <= 1160; ++t) {
    keepSkyClear(stage);
    playToEnd(game, stageThreeFrame(game, stage));
    ASSERT_EQ(stage.t, t);
    if (t < 300 && readPixel(game, 2, 62) == WARNING_RED) warningFrames.push_back(t);
    if (balloonShown(game, stage)) balloonFrames.push_back(t);
    // The ship rises from 240 by 2 a frame and is under control from y = 210.
    if (t == 1) {
      EXPECT_EQ(std::make_pair(stage.ship.x, stage.ship.y), std::make_pair(48, 240));
    }
    if (t == 15) {
      EXPECT_EQ(stage.ship.state, ShipState::Rising);
    }
    if (t == 16) {
      EXPECT_EQ(std::make_pair(stage.ship.y, stage.ship.state), std::make_pair(210, ShipState::InPlay));
    }
    if (t == 229) {
      EXPECT_EQ(stage.ufo.state, UfoState::Idle);
    }
    if (t == 230) {
      EXPECT_EQ(stage.ufo.state, UfoState::Setup);
    }
    if (t == 231) {
      EXPECT_TRUE(stage.ufo.shown);
      EXPECT_EQ(stage.ufo.x, 160);
      EXPECT_EQ(stage.ufo.y, -40);
      EXPECT_EQ(stage.ufo.state, UfoState::Descending);
      EXPECT_EQ(std::make_pair(stage.commander.x, stage.commander.y), std::make_pair(160, -80));
    }
    if (t == 331) {
      EXPECT_EQ(std::make_pair(stage.ufo.y, stage.ufo.state), std::make_pair(60, UfoState::Descending));
    }
    if (t == 332) {
      EXPECT_EQ(std::make_pair(stage.ufo.y, stage.ufo.state), std::make_pair(61, UfoState::Ready));
    }
    if (t == 333) {
      EXPECT_EQ(std::make_pair(stage.ufo.x, stage.ufo.state), std::make_pair(160, UfoState::Cruising));
    }
    if (t == 334) {
      EXPECT_EQ(std::make_pair(stage.ufo.x, stage.ufo.y), std::make_pair(162, 64));
    }
    if (t == 1000) {
      EXPECT_EQ(stage.pod.y, 0);
    }
    if (t == 1001) {
      EXPECT_EQ(std::make_pair(stage.pod.x, stage.pod.y), std::make_pair(stage.ship.x + 2, 230));
    }
    if (t == 1030) {
      EXPECT_EQ(stage.pod.y, 230);
    }
    if (t == 1031) {
      EXPECT_EQ(stage.pod.y, 229);
    }
    if (t == 1051) {
      EXPECT_FALSE(stage.drillWeapon);
    }
    if (t == 1052) {
      EXPECT_EQ(stage.pod.y, 208);
      EXPECT_TRUE(stage.drillWeapon);  // no shot was fired
    }
    if (t == 1100) {
      EXPECT_EQ(stage.pod.y, 208);
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
  destroyUfoImages(stage);
}

TEST(StageThreeTimeline, CruisingSwingsBetween52And70AndTurnsAt280And40) {
  TestSession session("", 11);
  Game& game = session.game;
  StageThreeRecord stage;
  stage.ufo.state = UfoState::Setup;
  int32_t lowest = 1000, highest = -1000, rightmost = 0, leftmost = 1000;
  for (int frame = 0; frame < 1000; ++frame) {
    updateUfo(game, stage);
    stage.ufo.hatchArmed[0] = stage.ufo.hatchArmed[1] = stage.ufo.hatchArmed[2] = stage.ufo.hatchArmed[3] = false;
    if (stage.ufo.state == UfoState::BeamAttack) stage.ufo.timer = 1;  // skip the stops: the sweep alone
    if (stage.ufo.state != UfoState::Cruising) continue;
    lowest = std::min(lowest, stage.ufo.y);
    highest = std::max(highest, stage.ufo.y);
    rightmost = std::max(rightmost, stage.ufo.x);
    leftmost = std::min(leftmost, stage.ufo.x);
  }
  EXPECT_EQ(lowest, 52);
  EXPECT_EQ(highest, 70);
  EXPECT_EQ(rightmost, 280);
  EXPECT_EQ(leftmost, 40);
}

TEST(StageThreeTimeline, BeamAttackStopsTheUfoAndFiresFromTheTenthToThe84thFrame) {
  TestSession session("", 5, true);
  Game& game = session.game;
  StageThreeRecord stage;
  stage.ufo.state = UfoState::Cruising;
  stage.ufo.x = 100;
  stage.ufo.y = 60;
  stage.ufo.direction = 1;
  stage.ufo.timer = 1;
  stage.ship.x = 300;  // out of the beam's reach
  updateUfo(game, stage);
  ASSERT_EQ(stage.ufo.state, UfoState::BeamAttack);
  const int32_t x = stage.ufo.x, y = stage.ufo.y;
  std::vector<int> beamFrames;
  for (int frame = 1; frame <= 100; ++frame) {
    updateUfo(game, stage);
    updateBeam(game, stage);
    if (stage.beam.active) beamFrames.push_back(frame);
    ASSERT_EQ(std::make_pair(stage.ufo.x, stage.ufo.y), std::make_pair(x, y));
  }
  EXPECT_EQ(stage.ufo.state, UfoState::Cruising);
  EXPECT_GE(stage.ufo.timer, 100);
  EXPECT_LE(stage.ufo.timer, 199);
  ASSERT_EQ(beamFrames.size(), 75u);
  EXPECT_EQ(beamFrames.front(), 10);
  EXPECT_EQ(beamFrames.back(), 84);
  EXPECT_EQ(std::make_pair(stage.beam.x, stage.beam.y), std::make_pair(x, y + 32));
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
  Game& game = session.game;
  StageThreeRecord stage;
  stage.ufo.state = UfoState::Setup;
  updateUfo(game, stage);
  stage.ufo.state = UfoState::Cruising;
  int32_t armedAt[HATCHES] = {};
  int launched = 0;
  for (int32_t frame = 1; frame <= 400; ++frame) {
    stage.ufo.timer = 100;  // no beam attack
    updateUfo(game, stage);
    for (int j = 0; j < HATCHES; ++j) {
      if (stage.ufo.hatchArmed[j] && stage.ufo.hatchCountdown[j] == 30) armedAt[j] = frame;
    }
    updateHatches(stage);
    for (Kamikaze& k : stage.kamikaze) {
      if (!k.active) continue;
      int j = 0;
      while (j < HATCHES && k.x != stage.ufo.x + HATCH_OFFSETS[j]) ++j;
      ASSERT_LT(j, HATCHES) << "dropped away from every hatch";
      EXPECT_EQ(k.y, stage.ufo.y);
      // The count starts in the arming frame: the alien drops in its 30th frame.
      EXPECT_EQ(frame - armedAt[j], 29);
      EXPECT_FALSE(stage.ufo.hatchArmed[j]);
      k.active = false;
      ++launched;
    }
  }
  EXPECT_GT(launched, 10);

  // Three hatches busy: whichever hatch the dice pick, the free one is armed.
  for (int j = 0; j < 3; ++j) {
    stage.ufo.hatchArmed[j] = true;
    stage.ufo.hatchCountdown[j] = 1000;
  }
  stage.ufo.hatchArmed[3] = false;
  while (!stage.ufo.hatchArmed[3]) {
    stage.ufo.timer = 100;
    updateUfo(game, stage);
  }
  EXPECT_EQ(stage.ufo.hatchCountdown[3], 30);
  // All four busy: later chances are lost, not queued.
  stage.ufo.hatchCountdown[3] = 1000;
  for (int frame = 0; frame < 300; ++frame) {
    stage.ufo.timer = 100;
    updateUfo(game, stage);
  }
  for (int j = 0; j < HATCHES; ++j) EXPECT_EQ(stage.ufo.hatchCountdown[j], 1000);
}
