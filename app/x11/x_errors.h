#pragma once

#include "app/x11/xlib.h"

// Xlib reports errors to one handler a process, with no place for a pointer of ours: the
// handler records the last error here, and the program looks after each round trip.
namespace XErrors {

// Installs the handlers: an error is recorded; a lost display ends the program at once with a
// message (exit 1), the shared memory already marked for removal.
void install();

// The code of the first error since the last take (0: none), and forgets it.
int take();

}  // namespace XErrors
