// What the app does with the machine: give it its sound device and data
// folder, feed it the player's input, and run its frames: resume the scene,
// take the sleep it asked for, count it on the clock, show the page that
// changed, answer a quit.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "base/task.h"
#include "machine/backend.h"
#include "machine/machine.h"

namespace machine {

void setAudio(Machine& machine, Audio* audio);                    // nullptr: no sound device
void setDataFolder(Machine& machine, const std::string& folder);  // "" = the working directory
// Where the player's devices put their input (the app, between frames).
const InputSink& deviceInput(Machine& machine);

// The wait a scene asked for when it last gave the frame back.
struct SleepAsked {
  coro::coroutine_handle<> scene;  // resumed when the wait is over
  int ms = 0;
  bool untilKey = false;  // ends as soon as a key is queued
};
std::optional<SleepAsked> takeSleep(Machine& machine);
// Counts a wait of ms on the virtual clock (at least 1 ms, so that scripted
// input and recordings reach a game running flat out) and tells the
// observers: the harness plays its script up to the new time.
void passTime(Machine& machine, int ms);

// The visible page, when it changed since the app last took it: a frame was
// presented, or the game drew straight onto the shown page.
struct ChangedPage {
  const uint32_t* pixels = nullptr;
  bool presented = false;  // by FramePresent
};
std::optional<ChangedPage> takeChangedPage(Machine& machine);

// Why a running game is asked to end from outside its scenes.
enum class QuitReason {
  Signal,       // Ctrl+C, a polite kill, the console closed or the desktop logging off
  CloseButton,  // the window's close button, when the player chose that it quits
  ClockLimit,   // the harness's --max-ms
};
void requestQuit(Machine& machine, QuitReason reason);
// A quit asked for since the last call (a signal to the process counts too).
std::optional<QuitReason> takeQuitRequest(Machine& machine);
bool quitPending(const Machine& machine);

// The window's close button: queued as a key without a character, which no
// scene reads (as the game always had it), or a quit request.
enum class CloseButton { Ignore, Quit };
void setCloseButton(Machine& machine, CloseButton behaviour);

// The high score the game last told, if it told one.
std::optional<int32_t> toldHighScore(const Machine& machine);

}  // namespace machine

// Runs a task (a scene, a prompt, the title) to its end as the headless app
// does, without its quits and pictures: every wait it asks for is counted
// on the virtual clock, where the harness plays its script, and nothing
// waits in real time. For tests and benchmarks of one scene.
template <typename T>
T playToEnd(Machine& machine, Task<T> task) {
  coro::coroutine_handle<> next = task.start();
  for (;;) {
    task.resumeAt(next);
    if (task.done()) return task.result();
    std::optional<machine::SleepAsked> asked = machine::takeSleep(machine);
    if (!asked) throw std::logic_error("a scene gave the frame back without a wait");
    next = asked->scene;
    machine::passTime(machine, asked->ms);
    machine::takeChangedPage(machine);
  }
}
