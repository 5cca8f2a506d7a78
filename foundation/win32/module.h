#pragma once

#include <windows.h>

#include <string>

// The process-wide module instance and command line, stored once by each program's entry
// point and read by window classes, dialogs and resource look-ups.
namespace Module {

void store(HINSTANCE instance, const char* commandLine);
HINSTANCE instance();
const std::string& commandLine();

}  // namespace Module
