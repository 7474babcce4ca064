// What a program takes from the system as it starts.
#pragma once

#include <string>
#include <vector>

namespace os {

// The program's arguments as UTF-8, its own name first. On Windows they are
// read from the wide command line, since argv holds them in the ANSI code
// page where a name such as "Spielstände" may not fit; and as the programs
// are built for the desktop (no console window of their own), a program
// started from a console whose output is not redirected writes to that
// console.
std::vector<std::string> startProcess(int argc, char** argv);

}  // namespace os
