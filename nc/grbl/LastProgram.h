#pragma once
// The file the G-code writer wrote last, for the machine window's "last
// program" button. The writer (or start-up) installs the hook; until then,
// and whenever the hook gives an empty name, there is no last program.

#include <functional>
#include <string>

using TLastProgramHook = std::function<std::string()>;

// Installs hook (an empty function uninstalls) and returns the one before.
TLastProgramHook SetLastProgramHook(TLastProgramHook hook);
// The full name of the last written program, or empty.
std::string LastProgramFileName();
