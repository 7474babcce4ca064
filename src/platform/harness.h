// The headless harness around the platform layer: scripted input, the virtual
// clock, screenshots, the sound log. The game's scenes never look at any of
// this; the back ends, the entry point, the sound module and the tests do.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One event of a script: "MS down KEY", "MS up KEY", "MS type TEXT", "MS close", "MS shot NAME".
struct ScriptEvent {
  int64_t ms = 0;
  enum Kind { Down, Up, Type, Close, Shot } kind = Down;
  int scanCode = 0;
  std::string text;  // Type: the characters; Shot: the name; Down: the queued value
};

// Parses a script; on a malformed line returns false with "LINE: reason" in error.
bool parseScript(const std::string& text, std::vector<ScriptEvent>& events, bool& seedGiven, uint32_t& seed,
                 std::string& error);
// Reads a number of decimal digits only (no sign, no blanks) that is at most max.
bool parseWholeNumber(const std::string& text, int64_t max, int64_t& value);

int64_t virtualMs();        // the sum of all sleeps requested so far
int64_t framesPresented();  // FramePresent calls so far
bool maxMsPassed();
// Called after every FramePresent with its number (1 for the first): tests use
// it to watch or steer a scene frame by frame.
void setFrameHook(std::function<void(int64_t frame)> hook);

// Input as a real keyboard would give it (the back ends and tests call these).
void pressKey(int scanCode, const std::string& queueValue);
void releaseKey(int scanCode);
void queueKeyValue(const std::string& value);
void clickCloseButton();
// Adds scripted input to a running headless session (the script format, with
// absolute times); false on a malformed line.
bool scheduleInput(const std::string& scriptText);
// Sees every input above as a script event without its time ("down space",
// "up left", "type z", "close"); tests use it to turn a game they steered
// into a script that replays it.
void setInputRecorder(std::function<void(const std::string& event)> recorder);

// Screenshots of the visible page, 320x240 24-bit BMP.
bool writeVisiblePageBmp(const std::string& path);
void writeFinalShot();  // final.bmp in the shots folder, if one was asked for

// The CRC-32 (the zip one) of a 320x240 page, each pixel as four bytes,
// lowest first: the fingerprint --frame-hashes writes as "FRAME CRC32".
uint32_t pageCrc32(const uint32_t* page);

// Sound log line: "FRAME MS SAMPLE CHANNEL VOLUME".
void logSoundEvent(int sample, int channel, int volume);

// Ctrl+C and SIGTERM: while a handler is set, either signal makes the next
// wait call it (it is expected to end the program); nullptr restores the
// default action.
void setQuitHandler(std::function<void()> handler);
bool quitRequested();
void runQuitHandlerIfAsked();

// --timedemo: the longest real time between two presented frames so far.
double slowestFrameMs();
// --frame-stats: mean and worst real frame period of the frames that slept
// 30 ms and of those run flat out, as one line.
std::string framePacingReport();
int64_t slowestFrameNumber();  // the frame presented at the end of that longest time
double meanFrameMs();          // from the first presented frame to the last
