// The names of keys in scripts, recordings and the settings file: esc, ctrl,
// lshift, space, left, right, enter, a..z, 0..9.
#pragma once

#include <string>

// -1 for a name it does not know (names are lower case).
int scanCodeForName(const std::string& name);
// "" for a scan code without a name.
std::string nameForScanCode(int scanCode);
// What a press of that key queues when typed without Shift (keyWithoutCharacter()
// for keys without one).
std::string typedValueForScanCode(int scanCode);
// Every name, blank-separated, for messages.
const char* keyNamesHelp();
