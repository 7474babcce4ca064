// Where the desktop keeps a player's files and where the program itself
// lives, as the operating system says.
#pragma once

#include <string>

namespace os {

// Per-user folders, each ending in the game's name (made by whoever writes
// there); "" when the system does not say where.
//   Linux:   $XDG_DATA_HOME/quarvel (~/.local/share/quarvel) and
//            $XDG_CONFIG_HOME/quarvel (~/.config/quarvel)
//   Windows: %APPDATA%\Quarvel for both
std::string userDataFolder();
std::string userConfigFolder();
// The desktop's pictures folder (XDG_PICTURES_DIR of user-dirs.dirs; the
// user's Pictures on Windows), without the game's name; "" when the desktop
// names none or it does not exist.
std::string userPicturesFolder();
// The folder of the running program; "" when unknown (the browser).
std::string programFolder();
// Whether the game looks for its data in the program's folder before the
// working directory. Windows: yes, so that an unpacked zip plays as it is
// wherever it is started from. Elsewhere the working directory comes first.
bool programFolderFirst();

}  // namespace os
