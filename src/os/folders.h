// Where the desktop keeps a player's files and where the program itself
// lives, as the operating system says.
#pragma once

#include <string>

namespace os {

// Per-user folders, each ending in "quarvel" (made by whoever writes there);
// "" when the system does not say where.
//   Linux: $XDG_DATA_HOME/quarvel (~/.local/share/quarvel) and
//          $XDG_CONFIG_HOME/quarvel (~/.config/quarvel)
std::string userDataFolder();
std::string userConfigFolder();
// The desktop's pictures folder (XDG_PICTURES_DIR of user-dirs.dirs), without
// "quarvel"; "" when the desktop names none or it does not exist.
std::string userPicturesFolder();
// The folder of the running program; "" when unknown (the browser).
std::string programFolder();

}  // namespace os
