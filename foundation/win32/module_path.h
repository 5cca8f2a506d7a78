#pragma once

#include <string>

// The full path of the running program's file.
std::string modulePath();
