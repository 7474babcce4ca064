// The Hero: walking, stomping, falling through holes, taking hits, drawing.
// The stage calls these once per frame in this order: stomp input, update,
// (tower drawing), footsteps, damage, drawing.
#pragma once

#include <cstdint>

#include "stage_two/play_records.h"

constexpr int32_t HERO_SCREEN_Y = 116;  // where the scroll keeps the Hero
constexpr int32_t STOMP_FRAMES = 5;
constexpr int32_t INVULNERABLE_FRAMES = 50;
constexpr int32_t GAME_OVER_COUNTDOWN = 50;

// A fresh Hero in the lift: five hit points, at (48, 116), arriving.
Hero newHero();

// A new Space press while standing starts a five-frame stomp.
void heroStompInput(Hero& hero);
// One frame of the Hero's state machine. A stomp may start a falling block, a
// fall moves the scroll, landing on the goal sets the result to cleared.
void updateHero(StageTwoPlay& play);
// Plays a footstep whenever x passes another 8 pixels.
void heroFootsteps(Hero& hero);
// Takes a pending hit: one hit point, then 50 blinking frames, or out.
void heroDamage(Hero& hero);
void drawHero(const Hero& hero, int32_t scroll);
