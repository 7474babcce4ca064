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
// A quit request that reaches a part of the program first (the desktop
// ending the session, told to the window): the same flag.
void requestQuit();

}  // namespace os
