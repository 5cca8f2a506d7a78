#pragma once

#include <cstdint>

// Turns hardware faults of the calling (main) thread — access violations, divisions by zero and
// the like — raised by the program's own code or the C runtime it calls into
// StructuredException, so that they reach the program's one error report. Faults inside system
// code go on to the system's own handlers.
// Installed once, first thing in WinMain; never removed.
void installFaultTranslator();

// Throws the StructuredException for a fault; never returns.
[[noreturn]] void translateStructuredException(std::uint32_t code, const void* exceptionInfo);
