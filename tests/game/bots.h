// Automated players for a whole game, one per stage, each steering from its
// stage's own record through the frame hook. Each runs its stage exactly as
// the stage's procedure would.
#pragma once

#include <cstdint>
#include <functional>

void playStageOneAutomatically(int32_t& result);
void playStageTwoAutomatically(int32_t& result);
void playStageThreeAutomatically(int32_t& result);

// True while an automated player chooses its keys in the frame hook: what it
// presses then must reach a replay after that frame's sleep.
extern bool choosingKeys;
// Called by a player in every frame: once its stage ends in a game over, a "y"
// is scheduled for the continue prompt that follows the game-over pause.
void answerContinue(bool gameOver, bool& answered);

// Lets a player choose its keys after every presented frame (choosingKeys set
// meanwhile) until the hook is taken away.
void steerEachFrame(std::function<void()> choose);

// Holds or lets go of a key the way a keyboard does (with its typed value).
void holdKey(int scanCode, bool down, bool& held);
