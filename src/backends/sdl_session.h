// The desktop ending the session (log-off, shutdown) while the window is
// open. On Linux it comes as SIGTERM, which the quit path already takes;
// Windows asks each window instead, and may end the process the moment the
// window has answered.
#pragma once

#include <SDL.h>

#include "backends/sdl_window.h"

namespace backend {

// From now on, the end of the session sets session.ending, and its bytes are
// written before the window answers.
void watchSessionEnd(SDL_Window* window, SessionEnd& session);

}  // namespace backend
