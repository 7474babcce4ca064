// A message box for a player who started the window build from a menu and
// would never see stderr.
#pragma once

#include <string>

namespace backend {

void showErrorBox(const std::string& title, const std::string& text);

}  // namespace backend
