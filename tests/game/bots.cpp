// What the automated players share: key holding, the continue answer, and
// the frame hook they steer from.
#include "bots.h"

#include <string>

#include "platform/harness.h"
#include "platform/platform.h"

bool choosingKeys = false;

void answerContinue(bool gameOver, bool& answered) {
  if (gameOver && !answered) scheduleInput(std::to_string(virtualMs() + 1500) + " type y\n");
  answered = gameOver;
}

void holdKey(int scanCode, bool down, bool& held) {
  if (down && !held) pressKey(scanCode, scanCode == SC_SPACE ? " " : keyWithoutCharacter());
  if (!down && held) releaseKey(scanCode);
  held = down;
}

void steerEachFrame(std::function<void()> choose) {
  setFrameHook([choose = std::move(choose)](int64_t) {
    choosingKeys = true;
    choose();
    choosingKeys = false;
  });
}
