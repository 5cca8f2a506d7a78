#include "foundation/win32/module.h"

namespace Module {

namespace {
HINSTANCE g_instance = nullptr;
std::string g_commandLine;
}  // namespace

void store(HINSTANCE instance, const char* commandLine) {
    g_instance = instance;
    g_commandLine = commandLine != nullptr ? commandLine : "";
}

HINSTANCE instance() { return g_instance != nullptr ? g_instance : GetModuleHandleA(nullptr); }

const std::string& commandLine() { return g_commandLine; }

}  // namespace Module
