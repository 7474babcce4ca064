// Keeping system libraries' chatter off stderr while the back end probes for
// a display or a sound device; the game says in one line what came of it.
#pragma once

// Points stderr at /dev/null; returns what quietStderrEnd needs to undo it.
int quietStderrBegin();
void quietStderrEnd(int saved);
