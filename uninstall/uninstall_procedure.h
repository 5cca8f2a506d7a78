#pragma once

#include <string>

#include "uninstall/uninstall_system.h"

// The saver removes itself through two processes: the saver file (the victim) copies itself to
// the temporary directory, starts the copy (the killer) and removes its uninstall entry; the
// killer waits for the victim to end and deletes the saver file. Settings stay. Quiet: no box,
// no question, in either process.
namespace Uninstall {

constexpr const char* kTemporaryCopy = "mss_uninst.tmp";

// The killer's command line: the copy T, " /no-tests /kill ", the saver S, both in double
// quotes, and " /quiet" when quiet.
std::string killerCommandLine(const std::string& temporaryCopy, const std::string& saverPath,
                              bool quiet);

enum class KillerStart { Started, CopyFailed, StartFailed };

// Copies the saver to the temporary directory and starts the copy in kill mode; the copy's
// path goes to `temporaryCopy`. A copy that did not start is deleted again.
KillerStart startKiller(System& system, const std::string& saverPath, bool quiet,
                        std::string& temporaryCopy);

// The victim. The entry is deleted only once the killer runs: without a killer the saver file
// would stay behind with no way left to remove it.
void runUninstall(System& system, bool quiet);

// The killer. Success is reported only when the saver file is gone; a waiting caller is woken
// either way.
void runKiller(System& system, const std::string& victimPath, bool quiet);

}  // namespace Uninstall
