#pragma once

// A hook for the end-to-end tests: with the environment variable MISTO_TEST_FAULT naming a
// place ("frame", "frame-fault", "frame-system-fault", "settings", "licence-page",
// "installer-unknown"), the program fails there on purpose, so the tests can see that an error
// inside a system callback reaches the one report box. Unset, it costs a look-up at start and
// nothing more.
namespace TestFault {

// True when MISTO_TEST_FAULT names `place`.
bool requested(const char* place);

// Throws a BasicError naming `place` when it is requested.
void throwIfRequested(const char* place);

// Divides by zero in the program's own code when `place` is requested: a hardware fault.
void faultIfRequested(const char* place);

// Has system code fault and handle the fault itself (a probe of an invalid address) when
// `place` is requested: that must not disturb the program.
void systemFaultIfRequested(const char* place);

}  // namespace TestFault
