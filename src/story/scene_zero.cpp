// Scene 0: the alien commander's speech to his troops, then the data room,
// where one soldier decides to desert, takes the secret and sets off the alarm.
#include "game/game.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "story/story_internal.h"

namespace story {

namespace {

constexpr uint32_t SKY = 0x7070C0;
constexpr uint32_t GROUND = 0x404040;

// The assembly: the commander at his desk, four soldiers in front and the one
// who speaks up later. A soldier stands on a box of its own colour.
struct CastMember {
  int spriteId;
  int x, y;
  float scaleX, scaleY;
  uint32_t colour;
  bool onBox;
  int bx1, by1, bx2, by2;
};
constexpr CastMember ASSEMBLY[] = {
    {SprAlienC1, 205, 92, 5, 5, 0xC0C020, false, 0, 0, 0, 0},
    {SprDesk, 200, 140, 4, 3, 0xC0C0C0, false, 0, 0, 0, 0},
    {SprAlienA1, 140, 200, 4, 4, 0xC02020, true, 132, 198, 149, 203},
    {SprAlienB2, 190, 200, 4, 4, 0xFF7F00, true, 178, 198, 199, 203},
    {SprAlienC2, 240, 200, 4, 4, 0x00C000, true, 228, 198, 253, 203},
    {SprAlienA2, 290, 200, 4, 4, 0xC02020, true, 282, 198, 299, 203},
    {SprAlienA1, 70, 180, 4, 4, 0x00FFFF, true, 62, 178, 79, 183},
};

struct Point {
  int x, y;
};

// Balloon shapes: the box, its tails (all drawn before the box) and where its
// text lines start.
struct Balloon {
  int x1, y1, x2, y2;
  int tailCount;
  Point tails[4];
  Point lines[2];
};
enum Speaker { Commander, SoldierInHall, Chorus, SoldierInDataRoom, Narrator };
constexpr Balloon BALLOONS[] = {
    {70, 10, 300, 54, 1, {{200, 60}}, {{80, 20}, {80, 40}}},
    {10, 100, 240, 144, 1, {{70, 150}}, {{20, 110}, {20, 130}}},
    {120, 110, 310, 154, 4, {{140, 160}, {190, 160}, {240, 160}, {290, 160}}, {{180, 130}, {0, 0}}},
    {10, 80, 270, 124, 1, {{200, 130}}, {{20, 90}, {20, 110}}},
};
constexpr Point NARRATOR_TEXT = {70, 120};

struct Speech {
  int from, to;
  Speaker speaker;
  const char* line1;
  const char* line2;  // nullptr: one line only
};
constexpr Speech SPEECHES[] = {
    {51, 130, Commander, "SO EARTH FINALLY DEVELOPED", "SUPER WEAPON, HeH !"},
    {151, 230, Commander, "WE MUST DESTROY IT", "NO MATTER WHAT !"},
    {271, 310, SoldierInHall, "COMMANDER,", nullptr},
    {321, 410, SoldierInHall, "MOST OF OUR MEN DIED...", "WE CAN'T CONTINUE LIKE THIS"},
    {421, 470, Commander, "shut up you fool !", nullptr},
    {481, 560, Commander, "A LITTLE MORE AND IT WILL", "BE OVER."},
    {591, 680, Commander, "NOW, YOU LOWLY SCUM, GO", "AND DO SOME KAMIKAZE ATTACK"},
    {691, 740, Chorus, "Yes, SIR !", nullptr},
    {801, 860, Narrator, "a few hours later...", nullptr},
    {931, 1010, SoldierInDataRoom, "I CAN'T TAKE IT ANY MORE", "I DON'T WANT TO DIE IN THIS WAR"},
    {1031, 1090, SoldierInDataRoom, "COMMANDER IS CRAZY", nullptr},
    {1111, 1180, SoldierInDataRoom, "I will escape to earth", nullptr},
    {1201, 1300, SoldierInDataRoom, "before i go...", "I will take something"},
};

constexpr int HALL_FROM = 20, HALL_TO = 769;
constexpr int DATA_ROOM_FROM = 880, DATA_ROOM_TO = 1349;
constexpr int SNEAK_FROM = 1301, SNEAK_TO = 1400;

// The alarm flashes four times, the siren sounding while the box shows.
struct AlarmFlash {
  int sirenOn, from, to;  // the siren stops at 'to'
};
constexpr AlarmFlash ALARMS[] = {{1400, 1401, 1445}, {1470, 1471, 1515}, {1540, 1541, 1585}, {1610, 1611, 1655}};
constexpr const char* ALARM_LINES[] = {"    WARNING !  WARNING !  ", "SOMEONE STOLE TOP SECRET !",
                                       "   FIND THE TRAITOR ! !   "};
constexpr int END_TIME = 1660;

void drawAssemblyHall(Game& game) {
  storyBox(game, 0, 0, 319, 150, SKY);
  storyBox(game, 0, 151, 319, 240, GROUND);
  for (const CastMember& member : ASSEMBLY) {
    storySprite(game, member.spriteId, member.x, member.y, member.scaleX, member.scaleY, member.colour);
    if (member.onBox) storyBox(game, member.bx1, member.by1, member.bx2, member.by2, member.colour);
  }
}

void drawDataRoom(Game& game, int x, int y) {
  storyBox(game, 0, 0, 319, 180, SKY);
  storyBox(game, 0, 181, 319, 240, GROUND);
  storyBox(game, 80, 20, 220, 180, 0x202020);
  storyOutline(game, 80, 20, 220, 180, 0x404040);
  storyLine(game, 150, 20, 150, 180, 0x404040);
  storyLine(game, 110, 180, 170, 240, 0x000000);
  storyLine(game, 190, 180, 250, 240, 0x000000);
  storyText(game, 100, 40, " top    secret");
  storyText(game, 104, 60, "DATA    ROOM");
  drawText(game, 123, 95, "  o o", 0x000000, Outline::No);
  storySprite(game, SprAlienA1, x, y, 10, 10, 0x00FFFF);
  storyBox(game, x - 22, y - 6, x + 23, y + 6, 0x00FFFF);
}

void drawSpeech(Game& game, const Speech& speech) {
  if (speech.speaker == Narrator) {
    storyText(game, NARRATOR_TEXT.x, NARRATOR_TEXT.y, speech.line1);
    return;
  }
  const Balloon& balloon = BALLOONS[speech.speaker];
  for (int i = 0; i < balloon.tailCount; i++) balloonTail(game, balloon.tails[i].x, balloon.tails[i].y);
  storyBox(game, balloon.x1, balloon.y1, balloon.x2, balloon.y2, BALLOON_WHITE);
  storyText(game, balloon.lines[0].x, balloon.lines[0].y, speech.line1);
  if (speech.line2 != nullptr) storyText(game, balloon.lines[1].x, balloon.lines[1].y, speech.line2);
}

}  // namespace

Task<> storySceneZero(Game& game) {
  int32_t t = 0;
  int x = 0, y = 0;
  bool done = false;
  storyEnter(game);
  while (!done) {
    done = storyFrameBegin(game, t);
    if (t == 1) {
      x = 200;
      y = 180;
    }
    if (t >= HALL_FROM && t <= HALL_TO) drawAssemblyHall(game);
    if (t >= DATA_ROOM_FROM && t <= DATA_ROOM_TO) drawDataRoom(game, x, y);

    for (const Speech& speech : SPEECHES) {
      if (t >= speech.from && t <= speech.to) drawSpeech(game, speech);
    }
    // The deserter sneaks up and to the left, to the secret files.
    if (t >= SNEAK_FROM && t <= SNEAK_TO) {
      x -= 1;
      y -= 1;
    }
    for (const AlarmFlash& alarm : ALARMS) {
      if (t >= alarm.from && t <= alarm.to) {
        storyBox(game, 0, 60, 319, 160, 0xFF0000);
        storyText(game, 60, 85, ALARM_LINES[0]);
        storyText(game, 60, 110, ALARM_LINES[1]);
        storyText(game, 60, 135, ALARM_LINES[2]);
      }
    }
    for (const AlarmFlash& alarm : ALARMS) {
      if (t == alarm.sirenOn) sirenOn(game);
    }
    for (const AlarmFlash& alarm : ALARMS) {
      if (t == alarm.to) sirenOff(game);
    }
    if (t >= END_TIME) done = true;
    co_await storyFrameEnd(game);
  }
  co_await storyLeave(game);
}

}  // namespace story
