#include "backends/sdl_session.h"

namespace backend {

void watchSessionEnd(SDL_Window*, SessionEnd&) {}  // SIGTERM takes the quit path

}  // namespace backend
