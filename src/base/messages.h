// The program's messages to the player on stderr, one line each, named by
// the program as it was started (quarvel, quarvel-win ...).
#pragma once

#include <string>

void setProgramName(const std::string& name);
const std::string& programName();
// "NAME: text" on stderr.
void warn(const std::string& text);
