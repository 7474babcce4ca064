// Windows sends the end of the session to the window's own procedure, past
// SDL's event queue: the procedure is wrapped, the end noted as a quit
// request and the high score saved at once, then SDL's procedure answers.
#include <SDL_syswm.h>
#include <windows.h>

#include "backends/sdl_session.h"
#include "os/quit_signal.h"

namespace backend {

namespace {

WNDPROC sdlProcedure = nullptr;
const WindowConfig* watching = nullptr;

LRESULT CALLBACK sessionProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_QUERYENDSESSION) os::requestQuit();
  if (message == WM_ENDSESSION && wParam != FALSE) {
    os::requestQuit();
    if (watching != nullptr && watching->sessionEnding) watching->sessionEnding();
  }
  return CallWindowProcW(sdlProcedure, window, message, wParam, lParam);
}

}  // namespace

void watchSessionEnd(SDL_Window* window, const WindowConfig& config) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WINDOWS) return;
  watching = &config;
  sdlProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(info.info.win.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sessionProcedure)));
}

}  // namespace backend
