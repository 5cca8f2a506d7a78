#pragma once

#include <memory>
#include <optional>

#include "app/misto_options.h"
#include "app/posix/signal_watch.h"

// What misto and misto-wayland do first, in this order: block the signals that end or restart
// the rain and start their watcher (a SIGTERM during start-up then waits for the watcher too,
// and a second after one that ends the rain the watcher ends the process itself, however stuck
// it is); read the command line; answer --help and --version.
struct MistoStart {
    std::unique_ptr<SignalWatch> signals;
    MistoOptions options;
    // Set when the program has nothing more to do: 0 after --help or --version, 1 after a
    // message on stderr.
    std::optional<int> exitStatus;
};

// `handedWindow`: $XSCREENSAVER_WINDOW, or null where none can be handed over; `waylandHost`:
// whether misto-wayland lies beside misto, for --help.
MistoStart startMisto(int argc, char** argv, const char* handedWindow, bool waylandHost);
