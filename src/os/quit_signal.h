// Asking the game to end from outside (Ctrl+C, a polite kill, the desktop
// logging off): the request only raises a flag, which the game's next wait
// sees and hands to the app's quit path, so everything is saved and closed
// as on a normal end.
#pragma once

namespace os {

// While watching, the system's quit requests raise the flag instead of
// killing the program; not watching restores the default action.
void watchQuitRequests(bool watch);
bool quitRequested();
void clearQuitRequest();

}  // namespace os
