#pragma once

#include <signal.h>

#include <chrono>

// The signals that end or restart the rain, taken by a thread of their own and handed to the
// frame loop through a descriptor it polls, so that no work happens inside a handler.
//
// An ending signal also starts a deadline: when the program is still there once it has passed
// (the X server stopped answering, a file open waits for ever), the watcher ends the process at
// once. A host that sends SIGTERM sees the program gone whatever the server or the file system
// does; the shared memory is already marked for removal, so nothing is left behind.
class SignalWatch {
  public:
    // `signals` must be blocked in every thread before this is made (the watcher's own thread
    // inherits the mask); `restart` is the one of them that does not end the program.
    SignalWatch(const sigset_t& signals, int restart, std::chrono::milliseconds deadline);
    // Both ends of the pipe stay open until the process goes: the watcher may write at any time,
    // and a write with no reader left would raise SIGPIPE.
    ~SignalWatch() = default;
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    // Readable while signals wait; each is one int, its number.
    int descriptor() const { return read_; }
    // The next waiting signal's number, 0 when none waits.
    int take();

  private:
    int read_ = -1;
    int write_ = -1;
};
