// What the app does with the machine: start it on a back end, say where the
// data is, and own the one way out of a running game.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "machine/backend.h"
#include "machine/machine.h"

namespace machine {

// Starts (or restarts) the machine on a back end: pages, keys and clock
// fresh; observers already attached stay attached.
void start(Machine& machine, std::unique_ptr<Backend> backend);
void stop(Machine& machine);  // closes the back end and detaches every observer

void setDataFolder(Machine& machine, const std::string& folder);  // "" = the working directory

// Why a running game is asked to end from outside its scenes.
enum class QuitReason {
  Signal,       // Ctrl+C, a polite kill, the console closed or the desktop logging off
  CloseButton,  // the window's close button, when the player chose that it quits
  ClockLimit,   // the harness's --max-ms
};
void requestQuit(Machine& machine, QuitReason reason);
// The app's quit path: called from inside the game's next wait once a quit
// was requested; it ends the program. Without one, requests are dropped.
void setQuitHandler(Machine& machine, std::function<void(QuitReason)> handler);

// The window's close button: queued as a key without a character, which no
// scene reads (as the game always had it), or a quit request.
enum class CloseButton { Ignore, Quit };
void setCloseButton(Machine& machine, CloseButton behaviour);

}  // namespace machine
