// Every scene played once in full: its length, its siren, and its pictures
// checked at chosen frames against the positions and colours of the script.
#include <gtest/gtest.h>

#include "gfx/sprites.h"
#include "support/session.h"
#include "support/story_support.h"

namespace {

constexpr uint32_t SKY = 0x7070C0, GROUND = 0x404040, WHITE = 0xFFFFFF, CYAN = 0x00FFFF, RED = 0xFF0000,
                   ORANGE = 0xFF8000, LIGHT = 0xDDDDDD, DARK = 0x202020, YELLOW = 0xFFFF00, BLACK = 0;

struct Played {
  SceneRun run;
  int64_t ms = 0;
  std::vector<SoundEvent> sounds;
};
Played played[4];

const std::set<int> KEEP[4] = {{1,   19,  20,   50,   51,   130,  131,  271,  691,  769,  770,  800,  801,  860,  861,
                                879, 880, 1301, 1302, 1349, 1350, 1400, 1401, 1445, 1446, 1470, 1471, 1655, 1656, 1660},
                               {1, 50, 89, 97, 98, 99, 138, 169, 170, 179, 180, 190, 200, 210},
                               {1, 40, 60, 61, 150, 151, 260, 290, 319, 320, 350, 351, 410, 411, 451},
                               {1, 251}};

class StoryPictures : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (int scene = 0; scene < 4; scene++) {
      TestSession session("", 1, /*withSound=*/true);
      Game& game = session.game;
      played[scene].run = playScene(game, scene, KEEP[scene]);
      played[scene].ms = virtualMs(game);
      played[scene].sounds = readSoundLog(session.soundLogPath);
    }
  }
  static const ShownFrame& at(int scene, int t) { return played[scene].run.pictures.at(t); }
};

TEST_F(StoryPictures, LengthsPacingAndSirens) {
  const int64_t lengths[] = {1660, 210, 451, 251};
  for (int scene = 0; scene < 4; scene++) {
    EXPECT_EQ(played[scene].run.frames, lengths[scene]) << scene;
    EXPECT_EQ(played[scene].ms, 30 * lengths[scene]) << scene;
  }
  // The log counts frames presented before the call: frame t logs t - 1.
  const std::vector<SoundEvent> alarms = {{1399, 8, 8, 255}, {1444, 8, 8, 0}, {1469, 8, 8, 255}, {1514, 8, 8, 0},
                                          {1539, 8, 8, 255}, {1584, 8, 8, 0}, {1609, 8, 8, 255}, {1654, 8, 8, 0}};
  EXPECT_EQ(played[0].sounds, alarms);
  const std::vector<SoundEvent> takeOff = {{167, 8, 8, 255}, {209, 8, 8, 0}};
  EXPECT_EQ(played[1].sounds, takeOff);
  EXPECT_TRUE(played[2].sounds.empty());
  EXPECT_TRUE(played[3].sounds.empty());
}

TEST_F(StoryPictures, BlackFramesBetweenThePictures) {
  struct Black {
    int scene, t;
  };
  for (Black b : {Black{0, 1}, Black{0, 19}, Black{0, 770}, Black{0, 800}, Black{0, 861}, Black{0, 879}, Black{0, 1350},
                  Black{0, 1400}, Black{0, 1446}, Black{0, 1470}, Black{0, 1656}, Black{0, 1660}, Black{2, 320},
                  Black{2, 350}, Black{2, 411}, Black{2, 451}})
    EXPECT_EQ(countOf(at(b.scene, b.t), 0, 0, 319, 239, BLACK), 320 * 240) << b.scene << " t " << b.t;
}

TEST_F(StoryPictures, PixelsWhereTheScriptFixesThem) {
  struct Probe {
    int scene, t, x, y;
    uint32_t colour;
  };
  const Probe probes[] = {
      // Scene 0, the hall: sky, ground, each soldier's box in its colour.
      {0, 20, 5, 150, SKY},
      {0, 20, 5, 151, GROUND},
      {0, 769, 319, 239, GROUND},
      {0, 20, 132, 203, 0xC02020},
      {0, 20, 178, 198, 0xFF7F00},
      {0, 20, 253, 203, 0x00C000},
      {0, 20, 299, 198, 0xC02020},
      {0, 20, 62, 183, CYAN},
      // Commander's balloon from 51 to 130, corners included.
      {0, 50, 70, 10, SKY},
      {0, 51, 70, 10, WHITE},
      {0, 130, 300, 54, WHITE},
      {0, 130, 301, 54, SKY},
      {0, 51, 69, 10, SKY},
      {0, 51, 70, 9, SKY},
      {0, 131, 70, 10, SKY},
      // The soldier's balloon and the chorus.
      {0, 271, 10, 144, WHITE},
      {0, 271, 9, 144, SKY},
      {0, 271, 10, 145, SKY},
      {0, 691, 120, 110, WHITE},
      {0, 691, 310, 154, WHITE},
      {0, 691, 311, 110, SKY},
      {0, 691, 119, 154, GROUND},
      // The data room: cabinet outline and inside, middle line, floor lines.
      {0, 880, 0, 180, SKY},
      {0, 880, 0, 181, GROUND},
      {0, 880, 80, 100, GROUND},
      {0, 880, 81, 100, DARK},
      {0, 880, 150, 30, GROUND},
      {0, 880, 140, 210, BLACK},
      {0, 880, 141, 210, GROUND},
      {0, 880, 240, 230, BLACK},
      {0, 880, 200, 186, CYAN},
      // The alarm box, 45 frames on, 25 off.
      {0, 1401, 0, 60, RED},
      {0, 1401, 319, 160, RED},
      {0, 1401, 0, 59, BLACK},
      {0, 1401, 0, 161, BLACK},
      {0, 1445, 0, 60, RED},
      {0, 1471, 0, 60, RED},
      {0, 1655, 319, 160, RED},
      // Scene 1: ceiling with its opening from 111 to 149, floor, and the
      // right half of the hangar at first.
      {1, 1, 110, 2, ORANGE},
      {1, 1, 111, 2, DARK},
      {1, 1, 149, 0, DARK},
      {1, 1, 150, 2, ORANGE},
      {1, 210, 0, 215, ORANGE},
      {1, 210, 5, 214, DARK},
      {1, 1, 100, 140, LIGHT},
      {1, 1, 281, 140, BLACK},
      {1, 1, 130, 68, BLACK},
      // The hangar slides: the dock's dark opening starts at hangar x 521.
      {1, 169, 200, 140, LIGHT},
      {1, 169, 201, 140, BLACK},
      {1, 170, 203, 140, BLACK},
      {1, 170, 202, 140, LIGHT},
      {1, 179, 221, 140, BLACK},
      {1, 179, 220, 140, LIGHT},
      {1, 180, 225, 140, BLACK},
      {1, 180, 224, 140, LIGHT},
      {1, 190, 269, 140, BLACK},
      {1, 190, 268, 140, LIGHT},
      {1, 200, 273, 68, BLACK},
      {1, 200, 272, 68, LIGHT},
      // Scene 2: dusk bands of ten rows, the balloon from 61 to 150.
      {2, 1, 5, 0, 0x00152E},
      {2, 1, 5, 10, 0x021C34},
      {2, 319, 319, 239, 0x2EB6B8},
      {2, 61, 10, 90, WHITE},
      {2, 150, 250, 155, WHITE},
      {2, 61, 9, 90, 0x125464},
      {2, 151, 10, 90, 0x125464},
      {2, 260, 250, 155, WHITE},
      {2, 260, 251, 155, 0x1E7E88},
      // Scene 3: day bands, the traitor's box.
      {3, 1, 0, 0, 0x1EB4EB},
      {3, 1, 0, 10, 0x1EADEB},
      {3, 251, 0, 239, 0x1E13EB},
      {3, 1, 204, 174, CYAN},
      {3, 251, 256, 187, CYAN},
  };
  for (const Probe& p : probes)
    EXPECT_EQ(at(p.scene, p.t).at(p.x, p.y), p.colour)
        << "scene " << p.scene << " t " << p.t << " at (" << p.x << ", " << p.y << ")";
}

TEST_F(StoryPictures, LetteringWhereTheScriptPutsIt) {
  // Some black letter pixels in the cell row of each line; the narrator's
  // lines alone on black show their outline.
  struct Line {
    int scene, t, x, y, characters;
  };
  for (Line l : {Line{0, 51, 80, 20, 26}, Line{0, 130, 80, 40, 19}, Line{0, 271, 20, 110, 10},
                 Line{0, 1401, 60, 85, 26}, Line{0, 1655, 60, 135, 26}, Line{2, 61, 20, 100, 11},
                 Line{2, 260, 20, 140, 13}, Line{3, 1, 50, 30, 29}, Line{3, 251, 50, 110, 29}})
    EXPECT_GT(countOf(at(l.scene, l.t), l.x, l.y, l.x + 8 * l.characters - 1, l.y + 7, BLACK), 0)
        << l.scene << " t " << l.t;
  for (Line l : {Line{0, 801, 70, 120, 20}, Line{0, 860, 70, 120, 20}, Line{2, 351, 70, 120, 20}}) {
    const ShownFrame& p = at(l.scene, l.t);
    EXPECT_LT(countOf(p, 69, 119, 230, 128, BLACK), 162 * 10) << l.t;
    EXPECT_EQ(countOf(p, 0, 0, 319, 117, BLACK), 320 * 118) << l.t;
  }
}

TEST_F(StoryPictures, ShapesStayInsideTheirSprites) {
  // A sprite image of w x h at scale s covers at most w*s x h*s pixels
  // around its centre.
  struct Shape {
    int scene, t;
    uint32_t colour;
    int fromY, x1, y1, x2, y2;
  };
  for (Shape s : {Shape{1, 50, CYAN, 0, 121, 55, 142, 74}, Shape{2, 40, WHITE, 80, 105, 80, 142, 99},
                  Shape{2, 60, WHITE, 160, 105, 160, 142, 179}, Shape{2, 151, WHITE, 160, 105, 160, 142, 179},
                  Shape{2, 1, YELLOW, 0, 29, 215, 66, 234}, Shape{3, 1, YELLOW, 0, 4, 120, 155, 219}}) {
    const Bounds b = boundsOf(at(s.scene, s.t), s.colour, s.fromY);
    ASSERT_TRUE(b.found) << s.scene << " t " << s.t;
    EXPECT_TRUE(b.x1 >= s.x1 && b.y1 >= s.y1 && b.x2 <= s.x2 && b.y2 <= s.y2) << s.scene << " t " << s.t;
  }
  EXPECT_EQ(countOf(at(2, 290), 0, 0, 319, 239, WHITE), 0);  // the saucer has sunk
}

TEST_F(StoryPictures, DeserterIsDrawnBeforeHeMovesEachFrame) {
  // From t = 1301 the position moves after the picture is drawn: the
  // soldier shows at (200, 180) in 1301 and at (152, 132) in 1349.
  const Bounds start = boundsOf(at(0, 880), CYAN, 70);
  const Bounds first = boundsOf(at(0, 1301), CYAN, 70);
  const Bounds second = boundsOf(at(0, 1302), CYAN, 70);
  const Bounds last = boundsOf(at(0, 1349), CYAN, 70);
  ASSERT_TRUE(start.found);
  EXPECT_EQ(first.y1, start.y1);
  EXPECT_EQ(second.y1, start.y1 - 1);  // columns of odd-width sprites move in twos
  EXPECT_EQ(last.x1, start.x1 - 48);
  EXPECT_EQ(last.y1, start.y1 - 48);
  EXPECT_EQ(last.x2, start.x2 - 48);
}

TEST_F(StoryPictures, FigureTurnsThroughZeroWidth) {
  // Squeezed to nothing at 98 and 138 without harm, back again at 99.
  EXPECT_FALSE(boundsOf(at(1, 98), CYAN).found);
  EXPECT_FALSE(boundsOf(at(1, 138), CYAN).found);
  EXPECT_TRUE(boundsOf(at(1, 99), CYAN).found);
  const Bounds narrow = boundsOf(at(1, 97), CYAN);
  EXPECT_LE(narrow.x2 - narrow.x1, 3);
  // It walked down to (210, 143): 78 rows lower than at t = 50.
  EXPECT_EQ(boundsOf(at(1, 89), CYAN).y1 - boundsOf(at(1, 50), CYAN).y1, 78);
}

TEST(StoryFigure, LooksAAndBPutTheEyeOnOppositeSides) {
  // With the small alien's cell emptied the figure is only the eye the look
  // sets, (3, 4) or (6, 4), and the sheet's fixed pixel (5, 4).
  TestSession session;

  Game& game = session.game;
  for (int y = 0; y < 8; y++)
    for (int x = 8; x < 16; x++) imageRow(game.spriteTable.sheet.get(), y)[x] = 0xFFFF00FF;
  imageRow(game.spriteTable.sheet.get(), 3)[12] = 0xFFFFFFFF;
  SceneRun run = playScene(game, 1, {60, 110, 150});
  struct Look {
    int t, centreX;
    bool eyeLeft;
  };
  for (Look look : {Look{60, 152, true}, Look{110, 214, false}, Look{150, 254, true}}) {
    const Bounds b = boundsOf(run.pictures.at(look.t), CYAN);
    ASSERT_TRUE(b.found) << look.t;
    EXPECT_EQ(b.x1 < look.centreX - 3, look.eyeLeft) << look.t;
    EXPECT_EQ(b.x2 > look.centreX + 1, !look.eyeLeft) << look.t;
  }
}

}  // namespace
