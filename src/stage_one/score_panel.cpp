// placeholder until the score panel lands
#include "stage_one/score_panel.h"
std::string zeroPad(int32_t value, int) { return std::to_string(value); }
void drawScoreLine() {}
void drawCreditLine() {}
void drawReserveShips(int32_t) {}
void drawHitPoints(int32_t) {}
