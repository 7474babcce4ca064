// Windows sends the end of the session to the window's own procedure, past
// SDL's event queue: the procedure is wrapped, the end noted for the app
// and the kept bytes written at once, then SDL's procedure answers.
#include <SDL_syswm.h>
#include <windows.h>

#include "backends/sdl_session.h"
#include "os/files.h"

namespace backend {

namespace {

// Hung on the window itself: SDL's procedure and what to do at the end.
constexpr const wchar_t* SESSION_PROPERTY = L"Quarvel.SessionEnd";
struct Watch {
  WNDPROC sdlProcedure = nullptr;
  SessionEnd* session = nullptr;
};

LRESULT CALLBACK sessionProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* watch = static_cast<Watch*>(GetPropW(window, SESSION_PROPERTY));
  if (watch == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_QUERYENDSESSION) watch->session->ending = true;
  if (message == WM_ENDSESSION && wParam != FALSE) {
    watch->session->ending = true;
    // The desktop is ending the session: a failed save has nobody left to
    // be told, and the session ends either way.
    if (!watch->session->path.empty()) static_cast<void>(os::replaceFile(watch->session->path, watch->session->bytes));
  }
  WNDPROC sdl = watch->sdlProcedure;
  if (message == WM_NCDESTROY) {
    RemovePropW(window, SESSION_PROPERTY);
    delete watch;
  }
  return CallWindowProcW(sdl, window, message, wParam, lParam);
}

}  // namespace

void watchSessionEnd(SDL_Window* window, SessionEnd& session) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WINDOWS) return;
  auto* watch = new Watch;
  watch->session = &session;
  HWND handle = info.info.win.window;
  SetPropW(handle, SESSION_PROPERTY, watch);
  watch->sdlProcedure =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sessionProcedure)));
}

}  // namespace backend
