#pragma once

#include <string>

// The full path of the running program's file, in UTF-8.
std::string modulePath();

// The text of the program's command line that follows the program's own name, in UTF-8 (what
// WinMain receives, without the system code page's losses).
std::string commandLineArguments();
