// The platform layer's own state, shared by its files (platform.cpp,
// harness.cpp and the two back ends). Nothing outside the platform layer
// includes this header.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/harness.h"
#include "platform/platform.h"
#include "platform/run_options.h"

// Plays a script's events once the virtual clock has reached their times
// (either back end may run one).
struct ScriptPlayer {
  std::vector<ScriptEvent> events;
  size_t next = 0;
  void applyUpTo(int64_t ms);
  void add(const std::vector<ScriptEvent>& more);  // joins the events still to come, in time order
};

constexpr int SCREEN_WIDTH = 320;

// Real time from one presented frame to the next, for the frames of a
// scene's loop: those that slept 30 ms, and those run flat out (stage three
// with Ctrl).
struct FramePacing {
  int64_t count[2] = {};
  double totalMs[2] = {};
  double worstMs[2] = {};
};
constexpr int SCREEN_HEIGHT = 240;
constexpr int PAGE_PITCH = SCREEN_WIDTH * 4;  // already a multiple of 16

struct PlatformState {
  std::unique_ptr<PlatformBackend> backend;
  RunOptions options;
  bool screenOpen = false;
  uint32_t pages[2][SCREEN_WIDTH * SCREEN_HEIGHT] = {};
  int workPage = 0;
  int visiblePage = 0;
  int lockDepth = 0;
  bool pageClearedSinceFrame = false;
  // Pages known to be all black since their last clear: nothing was drawn
  // on them nor handed out to draw on, so a second clear is skipped (a
  // scene clears on entering and again at the start of its first frame).
  bool pageBlank[2] = {};
  std::atomic<bool> paused{false};  // the window's pause (tests watch it from another thread)
  Image* drawInto = nullptr;        // drawIntoImage: where work-page drawing goes instead
  bool held[256] = {};
  std::deque<std::string> keyQueue;
  std::mt19937 random;
  int64_t virtualMs = 0;
  int64_t frames = 0;
  bool maxMsPassed = false;
  std::function<void(int64_t)> frameHook;
  std::function<void(const std::string&)> inputRecorder;
  std::function<void()> quitHandler;
  std::FILE* soundLog = nullptr;
  std::FILE* frameHashLog = nullptr;
  // --timedemo: real time of the run and the slowest frame.
  std::chrono::steady_clock::time_point runStart;
  std::chrono::steady_clock::time_point lastPresent;
  double slowestFrameMs = 0.0;
  // --frame-stats: real frame periods, by the sleep the frame asked for.
  int64_t virtualMsAtPresent = 0;
  FramePacing pacing;
  int64_t slowestFrame = 0;  // the frame that ended the slowest gap
  std::chrono::steady_clock::time_point firstPresent;
};

PlatformState& platform();
void showVisiblePage(bool urgent);
bool writePageBmp(const uint32_t* page, const std::string& path);
// --frame-hashes: the CRC-32 of the visible page after a listed frame.
void logFrameHash();

// The key names of scripts and recordings: esc, ctrl, lshift, space, left,
// right, enter, a..z, 0..9. -1 / "" for anything else.
int scanCodeForName(const std::string& name);
std::string nameForScanCode(int scanCode);
// What a press of that key queues when typed without Shift.
std::string typedValueForScanCode(int scanCode);
