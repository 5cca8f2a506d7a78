#pragma once

#include <cstdint>
#include <string>

#include "uninstall/uninstall_system.h"

// The saver removes itself through two processes: the saver file (the victim) copies itself to
// the temporary directory and starts the copy (the killer); the killer waits for the victim to
// end, deletes the saver file and then its uninstall entry. Settings stay. Quiet: no box, no
// question, in either process.
namespace Uninstall {

constexpr const char* kTemporaryCopy = "mss_uninst.tmp";
// How long the killer waits for the victim's file to become deletable, and how often it tries.
constexpr std::uint32_t kKillerPatienceMs = 10000;
constexpr std::uint32_t kDeleteRetryMs = 100;

// The killer's command line: the copy T, " /no-tests /kill ", the saver S, both in double
// quotes, and " /quiet" when quiet.
std::string killerCommandLine(const std::string& temporaryCopy, const std::string& saverPath,
                              bool quiet);

enum class KillerStart { Started, CopyFailed, StartFailed };

// Copies the saver to the temporary directory and starts the copy in kill mode; the copy's
// path goes to `temporaryCopy`. A copy that did not start is deleted again.
KillerStart startKiller(System& system, const std::string& saverPath, bool quiet,
                        std::string& temporaryCopy);

// The victim. True when the killer runs; false when nothing was changed.
bool runUninstall(System& system, bool quiet);

// The killer. True, and the success box, only when the saver file and then its entry are gone;
// a waiting caller is woken either way.
bool runKiller(System& system, const std::string& victimPath, bool quiet);

}  // namespace Uninstall
