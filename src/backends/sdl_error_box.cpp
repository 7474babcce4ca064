#include <SDL.h>

#include "backends/error_box.h"

namespace backend {

void showErrorBox(const std::string& title, const std::string& text) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
}

}  // namespace backend
